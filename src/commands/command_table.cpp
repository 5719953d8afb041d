#include "commands/command_table.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>

namespace hexlife {

namespace {

const char* GroupTitle(CommandGroup group)
{
    switch (group) {
    case CommandGroup::Run: return "Колония";
    case CommandGroup::Edit: return "Правка";
    case CommandGroup::Figure: return "Фигура";
    case CommandGroup::View: return "Поле";
    case CommandGroup::Help: return "Справка";
    case CommandGroup::Hidden: return "Прочее";
    }
    return "";
}

constexpr CommandGroup Groups[] = {CommandGroup::Run,  CommandGroup::Edit, CommandGroup::Figure,
                                   CommandGroup::View, CommandGroup::Help, CommandGroup::Hidden};

}  // namespace

CommandTable::CommandTable(QWidget* window, std::vector<Command> commands)
    : QObject(window), window_(window), commands_(std::move(commands))
{
    for (size_t i = 0; i < commands_.size(); ++i) {
        const Command& command = commands_[i];
        auto* action = new QAction(command.text, window);
        action->setShortcuts(command.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this, [this, i] {
            // A key may come before the states are refreshed: ask again.
            const Command& c = commands_[i];
            if (!c.enabled || c.enabled()) {
                c.call();
            }
            refresh();
        });
        actions_.push_back(action);
    }
    attachTo(window);
    refresh();
}

void CommandTable::refresh()
{
    for (size_t i = 0; i < commands_.size(); ++i) {
        actions_[i]->setEnabled(!commands_[i].enabled || commands_[i].enabled());
        if (commands_[i].label) {
            actions_[i]->setText(commands_[i].label());
        }
    }
}

void CommandTable::attachTo(QWidget* window)
{
    const QKeySequence escape(Qt::Key_Escape);
    for (QAction* action : actions_) {
        // In a window of its own Esc closes it, as it closes any dialog.
        if (window != window_ && action->shortcuts().contains(escape)) continue;
        window->addAction(action);
    }
    if (window != window_) {
        auto* close = new QAction(QStringLiteral("Закрыть окно"), window);
        close->setShortcut(escape);
        close->setShortcutContext(Qt::WindowShortcut);
        connect(close, &QAction::triggered, window, &QWidget::close);
        window->addAction(close);
    }
    window->installEventFilter(this);
}

bool CommandTable::eventFilter(QObject*, QEvent* event)
{
    // A key is matched against the shortcuts of the enabled actions only:
    // their states as they are now, before it is.
    if (event->type() == QEvent::ShortcutOverride) {
        refresh();
    }
    return false;
}

QMenu* CommandTable::menu()
{
    // Made when first opened: nothing of it is needed before.
    if (menu_ == nullptr) {
        menu_ = new QMenu(window_);
        menu_->setAccessibleName(QStringLiteral("Меню команд"));
        connect(menu_, &QMenu::aboutToShow, this, &CommandTable::refresh);
        // The point is kept through the entry's call, which comes before
        // the event loop's next turn.
        connect(menu_, &QMenu::aboutToHide, this, [this] {
            QTimer::singleShot(0, this, [this] { menuPoint_.reset(); });
        });
        for (CommandGroup group : Groups) {
            if (group == CommandGroup::Hidden) continue;
            bool first = true;
            for (size_t i = 0; i < commands_.size(); ++i) {
                if (commands_[i].group != group) continue;
                if (first && !menu_->isEmpty()) menu_->addSeparator();
                first = false;
                if (commands_[i].entries) {
                    auto* submenu = new QMenu(commands_[i].text, menu_);
                    submenu->setAccessibleName(commands_[i].text);
                    connect(submenu, &QMenu::aboutToShow, this, [this, i, submenu] {
                        submenu->clear();
                        for (const auto& [text, call] : commands_[i].entries()) {
                            connect(submenu->addAction(text), &QAction::triggered, this, call);
                        }
                    });
                    actions_[i]->setMenu(submenu);
                }
                menu_->addAction(actions_[i]);
            }
        }
    }
    return menu_;
}

void CommandTable::popUp(const QPoint& globalPosition, bool atPointer)
{
    if (atPointer) {
        menuPoint_ = globalPosition;
    } else {
        menuPoint_.reset();
    }
    menu()->popup(globalPosition);
}

QString CommandTable::KeysText(const QList<QKeySequence>& keys)
{
    QStringList texts;
    for (const QKeySequence& key : keys) {
        QString text = key.toString(QKeySequence::NativeText);
        // Qt names a few keys in English whatever the language.
        text.replace(QStringLiteral("Space"), QStringLiteral("Пробел"))
            .replace(QStringLiteral("Right"), QStringLiteral("→"))
            .replace(QStringLiteral("Left"), QStringLiteral("←"))
            .replace(QStringLiteral("Menu"), QStringLiteral("Меню"));
        texts << text;
    }
    return texts.join(QStringLiteral(", "));
}

QString CommandTable::keyList() const
{
    QStringList lines;
    for (CommandGroup group : Groups) {
        QStringList entries;
        for (const Command& command : commands_) {
            if (command.group == group) {
                entries << QStringLiteral("    %1 — %2").arg(QString(command.text).remove('&'),
                                                            command.keys.isEmpty() ? QStringLiteral("без клавиши")
                                                                                   : KeysText(command.keys));
            }
        }
        if (!entries.isEmpty()) {
            lines << QString::fromUtf8(GroupTitle(group)) + ':' << entries;
        }
    }
    return lines.join('\n');
}

QString CommandTable::keysTip(CommandGroup group) const
{
    QStringList lines;
    for (const Command& command : commands_) {
        if (command.group == group && !command.keys.isEmpty()) {
            lines << KeysText(command.keys) + QStringLiteral(" — ") + QString(command.text).remove('&').toLower();
        }
    }
    return lines.join('\n');
}

}  // namespace hexlife
