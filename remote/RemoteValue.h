#pragma once

#include <string>

#include "tessel/ObjectAddress.h"
#include "tessel/Variant.h"

namespace Vellaris::Remote
{

// The value rules every remote follows, whatever its wire format.
//
// A value read from the desk is a number for toggles, integers, lists, colours and float
// parameters, the text itself for text parameters, and a number or a text by its kind for a
// property; it always comes with the parameter's text form (its formatter's text).
//
// A set is either a plain number (clamped to the range, whole-number kinds drop the fraction) or a
// text read by the parameter's formatter ("-6", "2.5k", "On"). Text parameters take only texts.
//
// A secret (a parameter with the flag ParamFlags::kSecret, or the alias of one) is write-only: it
// can be set, but its value is never sent, watched or named in an error.

// The reason given to a remote that asks for a secret's value.
inline constexpr const char* kWriteOnlyReason =
    "the value is write-only: it can be set but is never sent back";

// The property a component answers with the reason its last command was refused (a text; empty or
// absent when there is none), so that a remote learns why and not only that.
inline constexpr const char* kCommandRefusalProperty = "commandRefusal";

// Whether `target` is a secret parameter.
bool isSecret(const Tessel::ObjectTarget& target);

// Whether a parameter of `type` (ParamType) carries whole numbers.
bool isWholeKind(int type);

// Whether `target` is a command (a parameter that is invoked rather than set).
bool isCommand(const Tessel::ObjectTarget& target);

// The value of `target` (a parameter or a property) and its text. False with `error` set when the
// target has no value to send (an object property, a secret, a component, a command).
bool readValue(const Tessel::ObjectTarget& target, Tessel::Variant& value, std::string& text,
               std::string& error);

// The value and text that readValue gives, as one comparable text (to tell a real change from a
// "changed" that moved nothing the subscriber sees).
std::string valueSignature(const Tessel::ObjectTarget& target);

// How a set reaches the parameter: in an edit gesture of its own (as a click on screen), or inside
// a gesture the remote holds open already (a finger on a control: beginEdit was called).
enum class Gesture
{
    Own,
    Open,
};

// False with `error` set when the parameter cannot be set now (read-only, disabled).
bool checkSettable(Tessel::IParameter* param, std::string& error);

// Sets `param` to the plain value `number` (an integer or a finite float; the parameter clamps it
// and whole-number kinds drop the fraction), with notification, so that the change reaches views
// and the speaker. Returns false with `error` set, and changes nothing, when the parameter is
// read-only or disabled or takes text.
bool setNumber(Tessel::IParameter* param, const Tessel::Variant& number, Gesture gesture, std::string& error);
// Sets `param` from its text form, read by its formatter; the same rules otherwise. A refused
// secret's text is never repeated in the error.
bool setText(Tessel::IParameter* param, const std::string& text, Gesture gesture, std::string& error);

// Runs the command `target` names. False with `error` set when it is disabled or refused (the
// reason its component gives through kCommandRefusalProperty where it gives one).
bool invokeCommand(const Tessel::ObjectTarget& target, std::string& error);

} // namespace Vellaris::Remote
