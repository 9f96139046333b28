#pragma once

class QSettings;
class TFormMain;

// The board's remembered set-up: read once at start, written once at exit. The values
// live in the window's controls; nothing is kept here between the two.
class SettingsStore
{
public:
    static constexpr auto kOrganisation = "Quorbel";

    explicit SettingsStore(TFormMain &window) : window_(window) {}

    void read();
    void write() const;

    // The same, on a given store (tests point it at a temporary one).
    void read(QSettings &settings);
    void write(QSettings &settings) const;

private:
    TFormMain &window_;
};
