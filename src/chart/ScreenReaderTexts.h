#pragma once

class QWidget;

// Gives the window's elements Swedish names and descriptions for screen
// readers, by element name. A label that shows a value (the temperature, the
// read-out) is read as its name followed by the value, and keeps announcing
// each new value.
void describeForScreenReaders(QWidget *window);

// Makes the window's labels and diagram get their interfaces from here: call
// it before building them (a label has its interface as soon as it has text).
void installScreenReaderInterfaces();
