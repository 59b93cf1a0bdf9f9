// Reading and steering one control by its own messages, never the pointer or the keyboard. Each
// call answers an empty message when done, else the error to answer.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The control's whole text. A password field is refused ("Cannot read a password field"):
// Windows refuses another program its text, and marlet refuses it everywhere.
std::string ReadControlText(HWND control, std::string& text);

// Sets the control's text and reads it back: done once the control answers that text.
std::string SetControlText(HWND control, std::string_view text);

// A button pressed as its own keyboard shortcut presses it (BM_CLICK, posted: a button that opens
// a dialog answers only once the dialog is closed); any other control a left button down and up
// at its centre, posted to it (the pointer does not move). Then a round trip, to know the
// control's thread is there.
std::string ClickControl(HWND control);

// Checks or unchecks a check box or radio button as a click would (so its program hears of it),
// and waits until it is in that state; nothing is sent when it already is.
std::string SetChecked(HWND control, bool checked);

// Which entry `choose` means: a text (exact, A to Z folded, else the first that starts with it)
// or an index from 0.
struct EntryChoice {
    std::optional<std::string> text;
    std::int64_t index = 0;
};

// Selects the entry of a combo box or list box and tells its parent as a person's choice does
// (CBN_SELENDOK and CBN_SELCHANGE, or LBN_SELCHANGE), then checks the selection; `index` is the
// entry chosen.
std::string ChooseEntry(HWND control, const EntryChoice& choice, int& index);

// A combo box's or list box's entries (each row one text), or a list view's rows (each a list of
// its column texts in report view, else its item text alone), and the selected entry (-1: none).
struct ControlItems {
    bool rows = false;  // a list view
    std::vector<std::vector<std::string>> entries;
    int selected = -1;
};
std::string ReadItems(HWND control, ControlItems& items);
