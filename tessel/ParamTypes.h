#pragma once

#include <cstdint>

namespace Tessel
{

// Parameter type codes.
namespace ParamType
{
constexpr int kToggle = 0;  // on/off, values 0 and 1
constexpr int kInteger = 1; // whole numbers between minimum and maximum
constexpr int kFloat = 2;   // floating point between minimum and maximum
constexpr int kString = 3;  // text
constexpr int kList = 4;    // index into an ordered list of entry texts
constexpr int kColor = 6;   // 32-bit ARGB
} // namespace ParamType

// Parameter flag bits.
namespace ParamFlags
{
constexpr uint32_t kBipolar = 0x008;   // displayed around zero
constexpr uint32_t kStorable = 0x040;  // included when component values are saved
constexpr uint32_t kLinkable = 0x080;  // may be linked across components
constexpr uint32_t kPublic = 0x100;    // mirrored with the device; without it the parameter is local
constexpr uint32_t kMutable = 0x200;   // the device may replace its range or list entries
constexpr uint32_t kReadOnly = 0x400;  // views do not let the user change it (code still may)
constexpr uint32_t kEditing = 0x800;   // the user holds the control (between beginEdit and endEdit)
constexpr uint32_t kViewHint = 0x1000; // a hint for the view layer (set on the speaker's network
                                       // lists and on graphic-equaliser bands); no logic tests it
constexpr uint32_t kSecret = 0x2000;   // write-only for every remote: a remote may set it, never read,
                                       // watch or hear it back; never stored (a password)
constexpr uint32_t kUndoable = 0x4000; // a desk parameter whose notifying changes the undo history
                                       // records (titles, names); device parameters count through
                                       // the history's locators instead
} // namespace ParamFlags

// A preview sent by a control to the controller's IParamPreviewHandler.
struct ParamPreviewEvent
{
    enum Kind : int
    {
        kDragValue = 2, // `value` is the plain value the user is dragging to
        kText = 4,      // used with text parameters: the user opens the parameter's menu
    };
    int kind = 0;
    double value = 0;
};

// Which step of a unit's grid a control takes: the normal one, or the other one that Shift gives
// (finer for a gain, coarser for a delay).
enum class StepSize
{
    kNormal,
    kShift,
};

// The plain value range handed to formatters.
struct ParamValueRange
{
    double minimum = 0;
    double maximum = 0;
};

} // namespace Tessel
