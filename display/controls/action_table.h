#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <cstddef>
#include <span>

// The window's actions, each with its key, acting wherever the focus is in the window. In the
// order the help lists their keys.
enum class WindowAction {
    KeepTrajectories,
    ClearTrajectories,
    TurningPoints,
    NextTurningPoint,
    PreviousTurningPoint,
    Play,
    Faster,
    Slower,
    JoinSamples,
    Nullclines,
    Equilibria,
    DirectionField,
    Scales,
    Legend,
    MoveLegend,
    Separatrices,
    LevelCurves,
    Basins,
    ZoomIn,
    ZoomOut,
    InitialView,
    FitView,
    PanLeft,
    PanRight,
    PanUp,
    PanDown,
    Undo,
    Redo,
    OpenScenario,
    SaveScenario,
    AnalysisWindow,
    BifurcationWindow,
    RegimeWindow,
    ContextMenu,
    Help,
    SaveImage,
    ExportData,
    CopyData,
    CopyImage,
    Print,
    Handout,
    FullScreen,
    Presentation,
    FitData,
    OpenData,
};
inline constexpr std::size_t kWindowActionCount = std::size_t(WindowAction::OpenData) + 1;

// The sections of the context menu, in their order, separated by lines; None: not in the menu.
enum class MenuGroup { None, Overlays, View, Trajectories, Edit, Scenario, Export, Windows, Help, Data };
inline constexpr MenuGroup kMenuGroups[] = {MenuGroup::Overlays, MenuGroup::View,   MenuGroup::Trajectories,
                                            MenuGroup::Edit,     MenuGroup::Scenario, MenuGroup::Data,
                                            MenuGroup::Export,   MenuGroup::Windows,  MenuGroup::Help};

// Where the help window lists an action's key: a row of the keyboard's table or of the export's,
// or in the row above, whose line speaks for both.
enum class HelpRow { Keyboard, Export, WithRowAbove };

struct WindowActionEntry {
    WindowAction id;
    const char *name;   // its object name
    const char *text;   // UTF-8, as the menu shows it
    QKeyCombination key;
    // A standard key, when there is one, in place of key: each platform gives its own binding.
    QKeySequence::StandardKey standardKey;
    bool checkable;
    MenuGroup group;
    HelpRow helpRow;
    // UTF-8 HTML: what the key does, as the help says it; "{name}" stands for the key of the
    // action of that name.
    const char *help;
    const char *otherKey = nullptr;   // a key outside the window's actions that does the same, listed first
    QKeyCombination secondKey{};      // a second key of the action's own, listed after the first
};

// Every action of the window, indexed by WindowAction.
std::span<const WindowActionEntry> windowActionTable();
const WindowActionEntry &windowActionEntry(WindowAction id);
QKeySequence keyOf(const WindowActionEntry &entry);
// The action's keys: keyOf, then its second key if it has one.
QList<QKeySequence> keysOf(const WindowActionEntry &entry);
// A key as the help names it, in Spanish: "Control+Mayús+C", "Supr", "Control+→".
QString spanishKeyName(const QKeySequence &key);
