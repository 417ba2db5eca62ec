#pragma once
// Modal message boxes. Headless runs never block: when VYRE_MESSAGEBOX is set
// ("yes", "no" or "ok") or no display can show the box, the box is written to
// standard error and answered without asking anybody.

#include <string>

namespace platform {

enum class MessageBoxButtons { Ok, YesNo };
enum class MessageBoxIcon { Information, Exclamation, Error };
enum class MessageBoxAnswer { Ok, Yes, No };

// Shows the box and returns the button the player chose.
MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& text, MessageBoxButtons buttons,
                                MessageBoxIcon icon);

// The answer a scripted run gives for a box with these buttons, or false when
// VYRE_MESSAGEBOX does not script it (unset, or a value that fits no button).
bool ScriptedMessageBoxAnswer(MessageBoxButtons buttons, MessageBoxAnswer* answer);

}  // namespace platform
