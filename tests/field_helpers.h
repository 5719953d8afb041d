// Helpers the window tests share: fields from cell lists, what the field
// image must show for a generation, and whether the window shows a mode of
// the Workspace.
#pragma once

#include <algorithm>

#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <QVector>

#include "app/main_window.h"
#include "surface/picture_box.h"

namespace testing {

using Cells = QVector<QPair<int, int>>;

inline hexlife::FieldArray FieldWith(const Cells& live)
{
    hexlife::FieldArray field{};
    for (const auto& [c, r] : live) {
        field[hexlife::FieldColLen * c + r] = 1;
    }
    return field;
}

// The field image as painting every cell's box with its state over the
// start-up grid gives.
inline QImage ExpectedField(const QImage& grid, const hexlife::FieldArray& drawn)
{
    QImage image = grid.copy();
    for (int n = 0; n <= hexlife::FieldLast; ++n) {
        const int x = 6 * (n / 114) + 1, y = 6 * (n % 114) + ((n / 114) % 2 == 0 ? 3 : 0) + 1;
        const QRgb colour = hexlife::ToQRgb(drawn[n] == 0 ? hexlife::EmptyColor : hexlife::LiveColor);
        for (int dy = 0; dy < 5; ++dy) {
            std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y + dy)) + x, 5, colour);
        }
    }
    return image;
}

// The modes of the run control are the Workspace's; whether the controls
// show `state`: the Workspace is in it, and the timer, the editor and the
// buttons follow it.
using State = hexlife::Workspace::Mode;

inline bool InState(const hexlife::MainWindow& w, State state)
{
    const bool editing = state == State::Editing;
    // The editor is disabled only by Start; at start-up it is just hidden.
    const bool editorEnabledRight = state == State::Idle || w.Picture3->isEnabled() == editing;
    const bool going = state == State::Running || state == State::Paused || state == State::Reviewing;
    return w.Work->mode() == state && w.Timer1->isActive() == (state == State::Running) &&
           w.Run.running() == going && w.Run.paused() == (state == State::Paused || state == State::Reviewing) &&
           w.Command1->isEnabled() == editing && w.Picture3->isVisible() == editing && editorEnabledRight &&
           w.Command3->isEnabled() && w.Command5->isEnabled();
}

}  // namespace testing
