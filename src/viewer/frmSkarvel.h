#pragma once

#include "frames/FrameAhead.h"
#include "frames/FrameTable.h"
#include "runtime/AutoNew.h"
#include "runtime/Form.h"
#include "widgets/StatusBar.h"
#include "widgets/TriDim.h"

#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QTimer;

namespace skarvel {

class DrawingSurface;
class ImageControl;
class LongWork;
class LabelControl;
class LineControl;
class PictureBox;
class ShapeControl;

// The main window: the display box, the thumbnail strip, the command buttons and the status
// bar. Its procedures are spread over several files by concern: the controls (Controls.cpp),
// start and end (Lifecycle.cpp), the command buttons (CommandButtons.cpp), the set-up at load
// (Setup.cpp), the animation (Animation.cpp), the thumbnail strip (ThumbnailStrip.cpp), its
// up/down buttons (StripButtons.cpp), and the commands: opening a file (OpenWorkflow.cpp),
// saving its frames (SaveWorkflow.cpp) and their dispatch (CommandDispatch.cpp), and the keys
// that reach all of them (Keyboard.cpp).
// The font in which `caption`, printed from the left edge, fits a command button's face.
QFont faceFont(const DrawingSurface& face, const QString& caption);

class frmSkarvel : public Form {
public:
    // Builds the window with its controls and runs Form_Load.
    frmSkarvel();
    ~frmSkarvel() override;

    // Controls, in the order of the window's description; the first ones lie on top.
    QLineEdit* txtPercorso = nullptr;
    std::array<PictureBox*, 3> picButton{};
    std::array<QRadioButton*, 2> optTipoFiles{};
    // The status bar takes these in, and takes them along when it goes.
    std::array<QPointer<PictureBox>, 2> picBarra{};
    std::array<PictureBox*, 2> picUpDown{};
    QScrollBar* VScroll = nullptr;
    PictureBox* picMin = nullptr;
    std::array<LabelControl*, 4> lblNFrame{};
    std::array<ImageControl*, 2> imgBordo{};
    PictureBox* picAnimGif = nullptr;
    QTimer* Timer1 = nullptr;
    LabelControl* Label2 = nullptr;
    ImageControl* imgCursore = nullptr;
    LabelControl* Label1 = nullptr;
    LineControl* Line2 = nullptr;
    LineControl* Line1 = nullptr;
    ShapeControl* Shape4 = nullptr;
    std::array<ImageControl*, 2> imgFloppy{};
    ShapeControl* Shape2 = nullptr;
    ShapeControl* Shape3 = nullptr;
    ShapeControl* Shape1 = nullptr;
    ImageControl* imgTop = nullptr;
    LineControl* linBordoR = nullptr;
    LineControl* linBordoLeft = nullptr;
    ImageControl* imgBotton = nullptr;

    // The window's shared state.
    QString sGifFile;
    std::int32_t lLastFrame = 0;
    std::int32_t lCurFrame = 0;
    bool bRefit = false;
    float sngZoom = 0;
    bool bAutoRepeat = false;
    bool bHover = false;
    std::int16_t iTwipsX = 0;
    std::int16_t iTwipsY = 0;
    AutoNew<StatusBar> sbMain;
    AutoNew<TriDim> objTriDim;
    // The frames of the opened file.
    FrameTable Frames;
    // What the window keeps of an opened file's decoded pictures; the others are decoded again
    // whenever they are shown.
    std::int64_t keptPictureBytes = FramePictures::kDefaultBytes;

    // What ending the program does once the window has unloaded; quits the application.
    std::function<void()> End;

    // Lifecycle.
    void Form_Load();
    void Form_Unload();

    // Command buttons.
    void picbutton_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift,
                             float X, float Y);
    void picButton_MouseDown(std::int16_t Index, std::int16_t Button, std::int16_t Shift,
                             float X, float Y);
    void picButton_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t Shift,
                           float X, float Y);
    void EnableSaveButton(bool bEnable);

    // Open, save and about, and the dispatch of the command buttons to them.
    void ChooseGifFile();
    void OpenGifFile(const QString& sGifPath);
    void SaveAllFrames();
    void picButton_Click(std::int16_t Index);
    // Opens a file handed over by the desktop (a program argument, a drop) as if it had been
    // chosen in the open dialog.
    void OpenGivenFile(const QString& sPath);
    // The frame count as the status bar's second panel shows it, and the count of files a save
    // has written so far, shown there while it runs; the bar sets a long count a little smaller.
    static QString FrameCountText(std::int32_t count);
    static QString SavedCountText(std::int32_t count);

    // Set-up at load.
    void SetupStatusBar();
    void ArrangeControls();
    QString CompactPath(const QString& sPath);

    // Animation.
    void Timer1_Timer();
    void FitAnimation();
    void HimetricToPixels(std::int32_t Value, std::int32_t& Result);

    // Thumbnail strip.
    void DrawThumbnails();
    void ClearFrameLabels();
    // Lets the frame numbers use the film edge beside their labels, turned when `widest`, the
    // file's largest number, would not lie across it.
    void GiveLabelsRoom(const QString& widest);
    // What the strip paints for a picture larger than its slot, made ahead by the open on any
    // thread; null for a picture the strip paints as it is.
    static QImage ThumbnailRendition(const Picture& picture);

    // Up/down buttons of the strip.
    void ScrollThumbnails(bool Forward);
    void picUpDown_MouseDown(std::int16_t Index, std::int16_t Button, std::int16_t Shift,
                             float X, float Y);
    void picUpDown_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t Shift,
                           float X, float Y);
    void picUpDown_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift,
                             float X, float Y);
    // Ends a stepping run at once, without its last redraw (a new file replaces the strip).
    void StopStepping();

    // The keyboard: a step as a click on up/down button Index makes it, and a jump to the
    // strip's end or start.
    void StepByKey(std::int16_t Index);
    void JumpStrip(bool toEnd);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What the open command does before its dialog: stops, clears and disables.
    void ResetForOpen();
    // Ends the commands' wait after long work. Answers whether the window goes on: not when it
    // was unloaded meanwhile, nor when it was asked to close, which it then does. When it goes
    // on, every command button gets the look the pointer's place calls for.
    bool goesOnAfterWork();
    void settleCommandButtons();
    // Repaints the window and every box on it at once.
    void RefreshAll();
    void createControls();
    void createStripControls();
    void createDecorations();
    void connectCommandButtons();
    void connectAnimation();
    void connectStripButtons();
    void createActions();
    void updateActions();
    void stepStrip();
    void finishStepPass();
    void endStepping();
    // Takes away the button that points past the bound the strip stands at, if any.
    void hidePastBound();
    // Hides an up/down button without leaving its frame on the window.
    void hideStripButton(std::size_t index);

    FrameAhead m_ahead; // the animation's next frame
    // Set while an open or a save runs, and while an open draws its strip: the commands wait.
    bool m_opening = false;
    // The long work under way (a split, a save, the strip of an open), and whether the window was
    // asked to close meanwhile: it closes once the work has stopped.
    LongWork* m_work = nullptr;
    bool m_closeAsked = false;
    QAction* m_saveAction = nullptr;
    bool m_unloaded = false;
    // Counts the strip drawings begun, so that a drawing overtaken by a newer one (run while
    // it yielded) knows to stop.
    std::uint64_t m_stripDrawings = 0;
    // The stepping of the strip: a pass steps, waits, then redraws.
    QTimer* m_stepTimer = nullptr;
    bool m_stepForward = true;
    bool m_stepPassOpen = false;
    std::uint64_t m_stepPasses = 0;
    // Presses that came while a pass was still open, each owed one step.
    int m_stepsOwed = 0;
    // An up/down button is down (pressed and not yet released).
    bool m_buttonHeld = false;
    // The buttons pressed during the run, whose opposite button is shown when it ends.
    std::vector<std::int16_t> m_stepPresses;
};

} // namespace skarvel
