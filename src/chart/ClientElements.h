#pragma once

#include <array>

class DiagramCanvas;
class QFrame;
class QLabel;

// The elements of the client area under the names the window uses; the window
// reaches them through the area that builds them.
struct ClientElements
{
    QFrame *picDiagram = nullptr;
    DiagramCanvas *diagram = nullptr; // the inner area of picDiagram
    QLabel *lblTempC = nullptr;
    QLabel *lblSthlm = nullptr;
    QLabel *lblXCord = nullptr;
    QLabel *lblYCord = nullptr;
    std::array<QLabel *, 9> Label1{};
    std::array<QLabel *, 9> lblVertical{};
    std::array<QLabel *, 13> lblMonth{}; // 1 to 12
    std::array<QLabel *, 1> lblRubrik{};
    std::array<QLabel *, 2> Image1{};
};
