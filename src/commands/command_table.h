// The window's commands beyond its buttons, declared once each: a Russian
// text, the keys, when the command can act and what it calls. The table
// makes a QAction of each, on the window, so that keys reach commands only
// through them; the context menu, the list of keys and the tooltips that
// name keys are all made from the same table.
#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace hexlife {

// The menu's groups, in the menu's order; Hidden commands are keys only
// (they are in the list of keys, not in the menu).
enum class CommandGroup { Run, Edit, Figure, View, Help, Hidden };

struct Command {
    CommandGroup group;
    QString text;
    QList<QKeySequence> keys;  // the first is the one the menu shows
    std::function<bool()> enabled;  // when it can act; empty for always
    std::function<void()> call;
    // What the menu shows now, where it changes («Отменить: очистка
    // поля»); empty for the text.
    std::function<QString()> label = {};
    // For a command whose menu entry is a submenu made as it opens (the
    // recent files): each entry's text and what it calls.
    std::function<std::vector<std::pair<QString, std::function<void()>>>()> entries = {};
};

class CommandTable : public QObject {
    Q_OBJECT
public:
    CommandTable(QWidget* window, std::vector<Command> commands);

    int size() const { return int(commands_.size()); }
    const Command& command(int i) const { return commands_[size_t(i)]; }
    QAction* action(int i) const { return actions_[size_t(i)]; }

    // Enables each action as its command can act now.
    void refresh();
    // The keys work in another window of the program too: the window gets
    // the actions, and their states are refreshed before its keys are matched;
    // there Esc closes the window instead of acting on the field.
    void attachTo(QWidget* window);
    // The context menu, its commands in groups; refreshed when it opens.
    QMenu* menu();
    // Opened at a point of the screen: `atPointer` where it is opened where
    // the pointer points (a right click), not only somewhere near it.
    void popUp(const QPoint& globalPosition, bool atPointer = true);
    // Where the menu was opened at the pointer, while an entry picked from
    // it is carried out; none otherwise.
    std::optional<QPoint> menuPoint() const { return menuPoint_; }

    // Every command with its keys, group by group, as one Russian text.
    QString keyList() const;
    // "keys — text" lines of one group's commands, for a tooltip.
    QString keysTip(CommandGroup group) const;
    // The keys of a command as the user reads them: "→, N".
    static QString KeysText(const QList<QKeySequence>& keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::vector<Command> commands_;
    std::vector<QAction*> actions_;
    QMenu* menu_ = nullptr;
    std::optional<QPoint> menuPoint_;
};

}  // namespace hexlife
