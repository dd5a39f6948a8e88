// The modal boxes and common dialogs, behind one interface that tests answer in advance.
//
// Every box is modal for the program's one thread and returns only when closed. Tests
// queue the answers before the box comes (dialogs::script); a box then takes the next
// queued answer without showing anything, and what it would have shown is recorded.
// When answers are scripted (or on the offscreen platform, where nobody could answer)
// a box that finds no answer of its kind at the front of the queue fails loudly: it
// prints what it was and aborts the program instead of blocking.
// All texts are GBK.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ui::dialogs {

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Message box without an owner window: OK alone without an icon, or Yes and No. An
// omitted title shows "信息：" (an empty title stays empty).
Answer messageBox(const std::string& text, Buttons buttons = Buttons::Ok,
                  std::optional<std::string> title = std::nullopt);

// The input box: title, prompt, an unmasked single-line entry (preset with `initial`)
// and the buttons "确认输入(&O)" and "取消(&C)". Returns the entry exactly as typed, or
// nullopt when cancelled or closed.
std::optional<std::string> inputBox(const std::string& title, const std::string& prompt,
                                    const std::string& initial = {});

// File-open dialog: no title, every file listed, only an existing file can be chosen.
// Starts in `directory` with `fileName` offered. Returns the full path, or nullopt.
std::optional<std::string> openFile(const std::string& directory,
                                    const std::string& fileName = {});

// What the font dialog edits. The caller keeps it between calls, so the style bits the
// user chose come back next time even though the programs store only size, colour, face.
struct FontChoice {
    int pointSize = 9;
    uint32_t colour = 0;  // 0x00BBGGRR
    std::string face;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const FontChoice&) const = default;
};
// Shows the font dialog preset with `font` (face, size, style, colour). Confirmed:
// `font` takes the choice and true is returned; cancelled: `font` is unchanged, false.
bool chooseFont(FontChoice& font);

// Colour choice preset with `initial` (0x00BBGGRR), offering `customColours` (at most
// 16, 0x00BBGGRR) as its custom colours; confirmed, they take what the user left in them.
// Returns the chosen colour, or nullopt when cancelled.
std::optional<uint32_t> chooseColour(uint32_t initial, std::span<uint32_t> customColours = {});

// The unrecoverable-failure box "运行时出错!" with `text`; shown (or recorded) and also
// written to stderr. Returns when closed; application.h's fatalError ends the program.
void failureBox(const std::string& text);

namespace script {

enum class Kind { Message, Input, OpenFile, Font, Colour, Failure };

// What a box showed (or would have shown).
struct Shown {
    Kind kind;
    std::string title;
    std::string text;  // message text, input prompt, file-dialog directory
};

// Queue answers, in the order the boxes will come; nullopt means "cancel". Queuing turns
// scripting on. The failure box needs no answer.
void answerMessage(Answer answer);
void answerInput(std::optional<std::string> entry);
void answerOpenFile(std::optional<std::string> path);
void answerFont(std::optional<FontChoice> font);
void answerColour(std::optional<uint32_t> colour);

// Turns scripting on with an empty queue: any box then fails loudly.
void begin();
// Empties queue and record and turns scripting off (failure boxes are still recorded).
void reset();
bool isActive();
// Answers still queued.
int pending();
// Every box since the last reset, oldest first.
const std::vector<Shown>& shown();

}  // namespace script

}  // namespace ui::dialogs
