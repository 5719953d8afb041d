// The one window of Hexagonal Life. It owns the shared state (inherited, so
// every procedure uses the values by name), the controls of the layout and
// the event procedures. The procedures of each subsystem are defined in that
// subsystem's folder.
#pragma once

#include <array>
#include <cstdint>

#include <QWidget>

#include "app/shared_state.h"

class QLabel;
class QPushButton;
class QTimer;

namespace hexlife {

class FramePacer;
class PictureBox;

class MainWindow : public QWidget, public SharedState {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Controls, named as in the layout.
    PictureBox* Picture1 = nullptr;  // the field
    std::array<PictureBox*, FigureCount> Picture2{};  // the thumbnails
    PictureBox* Picture3 = nullptr;  // the editor
    PictureBox* Picture4 = nullptr;  // the start preview
    QPushButton* Command1 = nullptr;  // Start
    QPushButton* Command3 = nullptr;  // Exit
    QPushButton* Command5 = nullptr;  // Help
    QLabel* Label1 = nullptr;  // cycle count
    QLabel* Label2 = nullptr;  // its caption
    QTimer* Timer1 = nullptr;
    // Holds the window's repaints to one per display frame.
    FramePacer* Pacer = nullptr;

    // Event procedures. Button and Shift use the codes 1 left / 2 right /
    // 4 middle and 1 Shift / 2 Ctrl / 4 Alt; positions are image pixels.
    void Form_Load();
    void Command1_Click();
    void Command3_Click();
    void Command5_Click();
    void Picture2_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X,
                          float Y);
    void Picture3_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture4_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Timer1_Timer();

    // Procedures.
    void LoadFigureLibrary();
    void DrawThumbnails();
    void BuildFieldGrid();
    void BuildEditorGrid();
    void BuildPreviewGrid();
    void ClearPattern();
    void ClearField();
    void DrawField();
    void DrawEditor();
    void DrawPreview();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void SetUpLayout();

    // The state each field cell's inner box was last painted with, -1 for
    // not painted yet. DrawField repaints only the boxes whose state differs;
    // the record holds for the revision of the field's image it was made in.
    std::array<std::int8_t, FieldCellCount> FieldPainted{};
    std::uint64_t FieldPaintedRevision = 0;
};

}  // namespace hexlife
