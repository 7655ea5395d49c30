#include "platform/header_dialog.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/fd_io.h"
#include "platform/posix/terminal.h"

namespace stats::platform {
namespace {

// The form on the controlling terminal shows the fields top to bottom as the
// Windows template lays them out; ids it does not know come last.
constexpr int kScreenOrder[] = {1009, 1010, 1008, 1013, 1014, 1015, 1007, 1002,
                                1003, 1011, 1012, 1006, 1005, 1001, 1004};

int ScreenRank(int controlId) {
    const auto* end = std::end(kScreenOrder);
    return static_cast<int>(std::find(std::begin(kScreenOrder), end, controlId) - std::begin(kScreenOrder));
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool BeginsIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    return true;
}

// Control bytes (C0, DEL and C1) shown as \xNN, so no value can move the
// cursor or switch the terminal's modes.
std::string Visible(std::string_view text) {
    std::string shown;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte < 0xA0)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string Padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

class Terminal {
public:
    explicit Terminal(int fd) : fd_(fd) {}

    void Write(std::string_view bytes) { WriteAll(fd_, bytes); }

    // One line without its line end; none at end of input or on a read error.
    std::optional<std::string> ReadLine() {
        for (;;) {
            const size_t end = pending_.find('\n');
            if (end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return line;
            }
            char chunk[512];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return std::nullopt;
            pending_.append(chunk, static_cast<size_t>(n));
        }
    }

private:
    int fd_;
    std::string pending_;
};

constexpr size_t kCaptionWidth = 20;

void ShowForm(Terminal& tty, const char* caption, const std::vector<DialogField*>& screen) {
    std::string form = "\n--- " + Visible(caption ? caption : "") + " ---\n";
    for (size_t i = 0; i < screen.size(); ++i) {
        const DialogField& field = *screen[i];
        char number[32];
        std::snprintf(number, sizeof number, "%3zu  ", i + 1);
        const std::string head = number + Padded(Visible(field.caption), kCaptionWidth) + " ";
        if (field.kind != FieldKind::kMultiLine) {
            form += head + "[" + Visible(field.value) + "]\n";
            continue;
        }
        // One bracketed row per line of text.
        std::string_view rest = field.value;
        bool first = true;
        for (;;) {
            const size_t end = rest.find("\r\n");
            form += (first ? head : std::string(head.size(), ' ')) + "[" + Visible(rest.substr(0, end)) + "]\n";
            first = false;
            if (end == std::string_view::npos) break;
            rest.remove_prefix(end + 2);
        }
    }
    form += "Type a field's number to change it; o or Enter alone: OK; c: Cancel.\n> ";
    tty.Write(form);
}

// The answer to a field's prompt: Enter alone keeps the value, "-" alone
// empties it, and "=" in front takes the rest as typed.
enum class Answer { kKeep, kEmpty, kText };

Answer Classify(const std::string& line, std::string& text) {
    if (line.empty()) return Answer::kKeep;
    if (line == "-") return Answer::kEmpty;
    text = line[0] == '=' ? line.substr(1) : line;
    return Answer::kText;
}

std::optional<int> Number(const std::string& line, size_t limit) {
    if (line.empty() || line.size() > 4 || !std::all_of(line.begin(), line.end(), [](char c) {
            return c >= '0' && c <= '9';
        }))
        return std::nullopt;
    const int n = std::stoi(line);
    if (n < 1 || static_cast<size_t>(n) > limit) return std::nullopt;
    return n;
}

// False at end of input.
bool EditField(Terminal& tty, DialogField& field) {
    const std::string name = Visible(field.caption);
    std::string prompt = "\n" + name + " [" + Visible(field.value) + "]\n";
    if (field.kind == FieldKind::kCombo) {
        for (size_t i = 0; i < field.items.size(); ++i) {
            char number[32];
            std::snprintf(number, sizeof number, "%3zu  ", i + 1);
            prompt += number + Visible(field.items[i]) + "\n";
        }
        prompt += "An item's number or any text. ";
    } else if (field.kind == FieldKind::kMultiLine) {
        prompt += "The new text line by line, ended by a line with a single \".\". ";
    } else {
        prompt += "The new text. ";
    }
    prompt += "Enter alone keeps the field, \"-\" alone empties it, \"=\" in front takes a line as typed.\n";
    tty.Write(prompt + name + "> ");

    std::optional<std::string> line = tty.ReadLine();
    if (!line) return false;
    std::string text;
    switch (Classify(*line, text)) {
        case Answer::kKeep:
            return true;
        case Answer::kEmpty:
            field.value.clear();
            return true;
        case Answer::kText:
            break;
    }
    if (field.kind == FieldKind::kEdit) {
        field.value = text;
    } else if (field.kind == FieldKind::kCombo) {
        const std::optional<int> item = (*line)[0] == '=' ? std::nullopt : Number(*line, field.items.size());
        field.value = item ? field.items[static_cast<size_t>(*item - 1)] : text;
    } else if (*line == ".") {
        field.value.clear();  // ended before the first line
    } else {
        // Lines joined by CR LF, as the Windows edit returns them.
        std::string value = text;
        for (;;) {
            tty.Write(name + "> ");
            line = tty.ReadLine();
            if (!line) return false;
            if (*line == ".") break;
            value += "\r\n" + (!line->empty() && (*line)[0] == '=' ? line->substr(1) : *line);
        }
        field.value = value;
    }
    return true;
}

int RunForm(Terminal& tty, const char* caption, std::vector<DialogField>& fields) {
    std::vector<DialogField*> screen;
    for (DialogField& field : fields) screen.push_back(&field);
    std::stable_sort(screen.begin(), screen.end(), [](const DialogField* a, const DialogField* b) {
        return ScreenRank(a->controlId) < ScreenRank(b->controlId);
    });

    // Loading: a combo shows the first item that begins with its value,
    // ignoring case, else the value itself.
    std::vector<DialogField> edited = fields;
    for (DialogField& field : edited) {
        if (field.kind != FieldKind::kCombo) continue;
        for (const char* item : field.items)
            if (BeginsIgnoringCase(item, field.value)) {
                field.value = item;
                break;
            }
    }
    for (DialogField*& field : screen) field = &edited[static_cast<size_t>(field - fields.data())];

    ShowForm(tty, caption, screen);
    for (;;) {
        std::optional<std::string> line = tty.ReadLine();
        if (!line) return 2;  // end of input: nobody will press OK
        line->erase(0, line->find_first_not_of(" \t"));
        line->erase(line->find_last_not_of(" \t") + 1);
        if (line->empty() || *line == "o" || *line == "O") break;
        if (*line == "c" || *line == "C") return 2;
        const std::optional<int> number = Number(*line, screen.size());
        if (!number) {
            tty.Write("No such choice: " + Visible(*line) + "\n> ");
            continue;
        }
        if (!EditField(tty, *screen[static_cast<size_t>(*number - 1)])) return 2;
        ShowForm(tty, caption, screen);
    }
    for (size_t i = 0; i < fields.size(); ++i) fields[i].value = edited[i].value;
    return 1;
}

}  // namespace

// The dialog is a form on the controlling terminal. Without one (or from a
// background process group, which the terminal would stop) it cannot be
// created, which counts as Cancel, so a headless host never blocks here.
int RunModalDialog(void*, int, const char* caption, std::vector<DialogField>& fields) {
    const int fd = OpenForegroundTerminal();
    if (fd < 0) return -1;
    Terminal tty(fd);
    const int result = RunForm(tty, caption, fields);
    tty.Write(result == 1 ? "OK\n" : "Cancelled\n");
    ::close(fd);
    return result;
}

}  // namespace stats::platform
