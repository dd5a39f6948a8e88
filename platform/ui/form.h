// A window of the program: loaded from a Qt Designer .ui file, its controls found by
// object name, its events and its controls' events dispatched to handlers bound by name.
//
// Event rules the handlers may rely on:
//  - load() runs the Created handler inside the load, before load() returns; then the
//    window is shown (unless the Created handler hid or destroyed it);
//  - FirstActivated runs once, at the window's first activation; where nothing activates
//    windows (offscreen, an X server without a window manager) the runtime activates the
//    window itself just after it is first shown;
//  - destroy() is posted: the window goes once the running handler has returned, running
//    AboutToBeDestroyed first; the message loop ends (code 0) when the last form is gone;
//  - programmatic changes raise no events, except EditBox::setText (content changed,
//    once, at once) and ReportList::selectRow (current row changed);
//  - moving the focus runs LostFocus of the old control, then GotFocus of the new one,
//    before the mover goes on;
//  - handlers run one at a time on the GUI thread.
// Window classes with Chinese names hold a Form as a member and bind lambdas; they need no
// Q_OBJECT and never touch Qt themselves.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/controls.h"

namespace ui {

// Events of controls. The int argument of a handler is: the Windows key code for
// KeyPressed / KeyReleased (13 Enter, 8 Backspace, 32 Space, 38 Up, 40 Down, 65..90 A-Z,
// ...); the character code for CharTyped (a GBK character arrives as two events, lead
// byte then trail byte, as in an ANSI window; Enter is 13); the column for HeaderClicked;
// the row for CurrentRowChanged; the page for PageChanged; the index for ItemSelected;
// 0 otherwise.
enum class Event {
    Clicked,             // button, check box, radio button; report list (anywhere)
    ContentChanged,      // edit box; editable combo box (user typing only)
    GotFocus,
    LostFocus,
    KeyPressed,          // before the control handles the key
    KeyReleased,         // after the control has handled the key
    CharTyped,           // before the control handles the character
    LeftButtonPressed,
    LeftButtonReleased,
    ItemSelected,        // list box, check-list box, combo box: the user chose an item
    PageChanged,         // tab control: the user changed the page
    HeaderClicked,       // report list
    CurrentRowChanged,   // report list: a row newly became current
};

// Events of the window. TrayEvent's argument is 1 (left button released), 2 (double
// click) or 3 (context menu / right button).
enum class WindowEvent { Created, FirstActivated, AboutToBeDestroyed, TrayEvent };

class FormPrivate;
class TunePlayer;

class Form {
public:
    Form();
    // Destroys the window, if still loaded, without running AboutToBeDestroyed.
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // --- binding (before or after load; by name, so a copied control shares them) ---
    void on(std::string_view control, Event event, std::function<void()> handler);
    void on(std::string_view control, Event event, std::function<void(int)> handler);
    void on(WindowEvent event, std::function<void()> handler);
    void on(WindowEvent event, std::function<void(int)> handler);

    // --- life ---
    // Creates the window from a .ui file or Qt resource path (UTF-8, e.g.
    // ":/query/forms/查询窗口.ui"), owned by `owner` (stays above it and goes when it goes)
    // or by nobody. Runs Created, then shows the window. Returns false, with nothing
    // created, when the file cannot be read or is no form; also when already loaded; and
    // when a handler is bound to a control name the form does not have (loadError() then
    // names them; a window binds its handlers before its load).
    bool load(std::string_view uiPath, Form* owner = nullptr);
    // Why the last load failed on its bindings ("" after a good load).
    const std::string& loadError() const;
    // Posted: takes effect after the running handler has returned (at once when no
    // handler is running and the loop is idle, i.e. at the next event processing). A
    // handler that lets events run (processPendingEvents, a message box) keeps every
    // window alive until the outermost handler has returned; closing a window by its
    // close button is the same destruction.
    void destroy();
    // True from load until destruction, also while hidden.
    bool isLoaded() const;
    Form* owner() const;

    // --- window properties ---
    std::string caption() const;  // GBK
    void setCaption(const std::string& caption);
    bool isVisible() const;
    void setVisible(bool visible);
    // A minimised or maximised window is restored and shown; a hidden window stays hidden.
    void showNormal();
    // Keeps the window above all others or not; clearing it brings the window to the
    // front of the normal windows. Which window is active does not change.
    void setTopMost(bool topMost);
    bool isTopMost() const;
    // The window keeps its current size; the maximise button goes.
    void setFixedSize();
    void centreOnScreen();
    // Cuts the window to a rounded rectangle with c x c corner ellipses,
    // c = min(width / 5, height / 5).
    void setRoundedRegion();
    int left() const;
    int top() const;
    int width() const;   // client area
    int height() const;
    void move(int x, int y);
    void resize(int w, int h);

    // The window's icon from image bytes (.ico with all its sizes, PNG, ...) or a file
    // or resource path (UTF-8, like load's). Returns false when not readable (the icon stays as it was).
    bool setIcon(const std::string& bytes);
    bool setIconFile(const std::string& path);
    // The notification-area icon: the window's own icon with `tip` (GBK; only its first
    // 62 bytes, not cutting a character). Setting it again replaces icon and tip; it is
    // removed with removeTrayIcon or when the window is destroyed.
    void setTrayIcon(const std::string& tip);
    void removeTrayIcon();
    bool hasTrayIcon() const;
    std::string trayTip() const;
    // Raises the TrayEvent as the notification area would (tests; places without a tray).
    void raiseTrayEvent(int type);

    // The embedded tune (Standard MIDI File bytes, or a UTF-8 file / resource path) and its play
    // mode: 0 from the beginning, repeating; 1 once; 2 off (the mode after load).
    void setTune(const std::string& midiBytes);
    bool setTuneFile(const std::string& path);
    void setTunePlayMode(int mode);
    int tunePlayMode() const;
    TunePlayer* tunePlayer();  // null before setTune

    // --- controls (by object name, UTF-8). A missing control, or one of another kind,
    // is a programming error: the runtime's failure box names it and the program ends.
    Control control(std::string_view name);
    EditBox edit(std::string_view name);
    Button button(std::string_view name);
    CheckBox checkBox(std::string_view name);
    RadioButton radio(std::string_view name);
    GroupBox groupBox(std::string_view name);
    Label label(std::string_view name);
    PictureBox picture(std::string_view name);
    DrawingBoard board(std::string_view name);
    ComboBox combo(std::string_view name);
    ListBox listBox(std::string_view name);
    CheckListBox checkList(std::string_view name);
    TabControl tabs(std::string_view name);
    ReportList reportList(std::string_view name);
    ProgressBar progressBar(std::string_view name);
    LineShape line(std::string_view name);
    bool hasControl(std::string_view name) const;

    // A new control of the same kind, parent, position, size, caption, tag and font as
    // `original`, not yet visible, whose events run the handlers bound to `original` (use
    // eventSource() to tell them apart). Returns an invalid handle for kinds that
    // cannot be copied (only buttons, check boxes, radio buttons, labels and edit boxes
    // can).
    Control copyControl(const Control& original);
    template <class Kind>
    Kind copy(const Kind& original) {
        Control c = copyControl(original);
        return Kind(c.form(), c.widget());
    }

    // The control whose event is being handled (innermost), invalid outside handlers.
    Control eventSource() const;

    QWidget* window() const;  // the runtime's and tests' way in; handlers never need it
    FormPrivate* impl() const { return d_.get(); }

private:
    std::unique_ptr<FormPrivate> d_;
};

}  // namespace ui
