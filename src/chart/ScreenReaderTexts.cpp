#include "ScreenReaderTexts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>

namespace {

// A label's name for a screen reader when its text is a value. Kept apart
// from accessibleName so that Qt still announces each new text.
constexpr char kSpokenName[] = "spokenName";

struct SpokenText
{
    const char *element;
    const char *name;
    const char *description;
    bool withValue = false;
};

// clang-format off
constexpr SpokenText kTexts[] = {
    {"picDiagramArea", "Årsdiagram",
     "Ett års mätningar: för varje dag en stapel från lägsta till högsta temperatur, blå under "
     "0 grader och röd över, och linjer för dygnets högsta och lägsta lufttryck. Håll vänster "
     "musknapp för datum och temperatur, höger musknapp för datum och lufttryck."},
    {"List1", "Datatabell",
     "Årsfilens alla mätningar, en per rad: datum, tid, temperatur och lufttryck. Esc döljer tabellen."},
    {"lblTempC", "Temperatur nu", "Utomhustemperaturen från givaren, läses var 30:e sekund.", true},
    {"lblXCord", "Avläst datum", "Datum under muspekaren i diagrammet.", true},
    {"lblYCord", "Avläst värde", "Temperatur eller lufttryck under muspekaren i diagrammet.", true},
    // The menus; their items are read by their own Swedish texts.
    {"mnuArkiv", "Arkiv", "Avsluta programmet eller öppna ett annat års fil."},
    {"mnuConfig", "Konfig", "Givarens portadress."},
    {"mnuVisa", "Visa", "Temperatur, lufttryck eller båda i diagrammet."},
};
// clang-format on

// A label read as its text or, when it shows a value, as its spoken name and
// the value; Qt's own reads only the text.
class LabelAccessible : public QAccessibleWidget
{
public:
    explicit LabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QAccessible::Role role() const override
    {
        return label()->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            const QString name = widget()->property(kSpokenName).toString();
            const QString value = label()->text();
            if (name.isEmpty() || value.isEmpty())
                return name.isEmpty() ? value : name;
            return name + QStringLiteral(": ") + value;
        }
        // The tooltip may say why there is no reading.
        const QString tip = widget()->toolTip();
        if (t == QAccessible::Description && !tip.isEmpty() &&
            !widget()->accessibleDescription().isEmpty())
            return widget()->accessibleDescription() + QLatin1Char(' ') + tip;
        return QAccessibleWidget::text(t);
    }

private:
    const QLabel *label() const { return static_cast<const QLabel *>(widget()); }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QLabel"))
        return new LabelAccessible(static_cast<QLabel *>(object));
    if (className == QLatin1String("DiagramCanvas"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Chart);
    return nullptr;
}

} // namespace

void installScreenReaderInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(&factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void describeForScreenReaders(QWidget *window)
{
    installScreenReaderInterfaces();

    for (const SpokenText &text : kTexts) {
        const QString element = QString::fromLatin1(text.element);
        auto *widget = window->findChild<QWidget *>(element);
        if (!widget)
            continue;
        if (text.withValue)
            widget->setProperty(kSpokenName, QString::fromUtf8(text.name));
        else
            widget->setAccessibleName(QString::fromUtf8(text.name));
        widget->setAccessibleDescription(QString::fromUtf8(text.description));
    }
}
