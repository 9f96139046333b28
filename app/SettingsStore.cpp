#include "app/SettingsStore.h"

#include "app/Main.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>

#include <limits>
#include <memory>
#include <optional>

namespace {

// HKCU\Software\Quorbel\Courtlyx on Windows, the user's config file elsewhere.
std::unique_ptr<QSettings> nativeStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QLatin1String(SettingsStore::kOrganisation),
                                       QCoreApplication::applicationName());
}

// A registry number: a 32-bit value, signed or unsigned. Anything else, missing or not,
// ends the reading.
std::optional<qint64> number(const QSettings &s, const char *key)
{
    const QVariant v = s.value(QLatin1String(key));
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    qint64 n = 0;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        n = v.toLongLong(&ok);
        break;
    case QMetaType::QString: // a text store keeps numbers as text
        n = v.toString().trimmed().toLongLong(&ok);
        break;
    default:
        break;
    }
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return n;
}

// A text that is missing reads as empty; a value of another kind ends the reading.
std::optional<QString> text(const QSettings &s, const char *key)
{
    const QVariant v = s.value(QLatin1String(key));
    if (!v.isValid())
        return QString();
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    if (v.typeId() == QMetaType::QStringList) // an unquoted comma in a hand-edited file
        return v.toStringList().join(QStringLiteral(", "));
    return std::nullopt;
}

constexpr const char *kColourKeys[] = {"C0", "C1", "C2", "C3", "C4"};

} // namespace

void SettingsStore::read()
{
    read(*nativeStore());
}

void SettingsStore::write() const
{
    write(*nativeStore());
}

void SettingsStore::read(QSettings &s)
{
    if (s.allKeys().isEmpty())
        return; // no key: every setting keeps its default
    TFormMain &w = window_;
    // Each value applies at once; the first one missing or of the wrong kind ends it all.
    auto apply = [&]() -> bool {
        auto n = number(s, "L");
        if (!n) return false;
        w.setOuterLeft(int(*n));
        if (!(n = number(s, "T"))) return false;
        w.setOuterTop(int(*n));
        if (!(n = number(s, "W"))) return false;
        w.setOuterWidth(int(*n));
        if (!(n = number(s, "H"))) return false;
        w.setOuterHeight(int(*n));
        if (!(n = number(s, "Sound"))) return false;
        w.setSound(*n != 0);
        if (!(n = number(s, "Monitor"))) return false;
        w.setMonitor(int(*n));
        auto t = text(s, "Comanda1");
        if (!t) return false;
        w.eName1->setText(*t);
        if (!(t = text(s, "Comanda2"))) return false;
        w.eName2->setText(*t);
        for (int slot = 0; slot < 5; ++slot) {
            if (!(n = number(s, kColourKeys[slot]))) return false;
            w.setSchemeColour(slot, TColor(quint32(*n)));
        }
        if (!(n = number(s, "TieBreak"))) return false;
        w.cbTieBreak->setChecked(*n != 0);
        w.cbTieBreakClick();
        if (!(n = number(s, "CountSets"))) return false;
        // Any count but 3 plays five sets.
        if (*n == 3) {
            w.rgCountSatzItems[1]->setChecked(true);
            w.rgCountSatzClick();
        }
        if (!(n = number(s, "AutoSchet"))) return false;
        w.cbAutoSchet->setChecked(*n != 0);
        return true;
    };
    apply();
    w.keepOnScreen();
}

void SettingsStore::write(QSettings &s) const
{
    const TFormMain &w = window_;
    const QRect bounds = w.outerBounds();
    s.setValue(QStringLiteral("L"), bounds.left());
    s.setValue(QStringLiteral("T"), bounds.top());
    s.setValue(QStringLiteral("W"), bounds.width());
    s.setValue(QStringLiteral("H"), bounds.height());
    s.setValue(QStringLiteral("Monitor"), w.Monitor());
    s.setValue(QStringLiteral("Sound"), w.Sound() ? 1 : 0);
    s.setValue(QStringLiteral("Comanda1"), w.eName1->text());
    s.setValue(QStringLiteral("Comanda2"), w.eName2->text());
    // System colours are stored as their negative codes, as the registry holds them.
    for (int slot = 0; slot < 5; ++slot)
        s.setValue(QLatin1String(kColourKeys[slot]), qint32(w.schemeColour(slot)));
    s.setValue(QStringLiteral("TieBreak"), w.cbTieBreak->isChecked() ? 1 : 0);
    s.setValue(QStringLiteral("CountSets"), w.score().setCount());
    s.setValue(QStringLiteral("AutoSchet"), w.cbAutoSchet->isChecked() ? 1 : 0);
    s.sync();
}
