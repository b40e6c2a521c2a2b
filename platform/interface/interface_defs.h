// Constants of the interface kit: resizing modes, view and window flags, drawing modes,
// mouse buttons, modifier keys, key codes and colour spaces.
#pragma once

#include "message/geometry.h"
#include "message/support_defs.h"

// Resizing modes: which edges of a view follow which edges of its parent. Four bits per edge.
enum : uint32 {
    _VIEW_TOP_ = 1,
    _VIEW_LEFT_ = 2,
    _VIEW_BOTTOM_ = 3,
    _VIEW_RIGHT_ = 4,
    _VIEW_CENTER_ = 5,
};
constexpr uint32 _rule_(uint32 top, uint32 left, uint32 bottom, uint32 right) {
    return (top << 12) | (left << 8) | (bottom << 4) | right;
}
enum : uint32 {
    B_FOLLOW_NONE = 0,
    B_FOLLOW_ALL_SIDES = _rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, _VIEW_RIGHT_),
    B_FOLLOW_ALL = B_FOLLOW_ALL_SIDES,
    B_FOLLOW_LEFT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_),
    B_FOLLOW_RIGHT = _rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_),
    B_FOLLOW_LEFT_RIGHT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_),
    B_FOLLOW_H_CENTER = _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_),
    B_FOLLOW_TOP = _rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0),
    B_FOLLOW_BOTTOM = _rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0),
    B_FOLLOW_TOP_BOTTOM = _rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0),
    B_FOLLOW_V_CENTER = _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0),
};

// View flags.
enum : uint32 {
    B_FULL_UPDATE_ON_RESIZE = 0x80000000u,
    B_WILL_DRAW = 0x20000000u,
    B_PULSE_NEEDED = 0x10000000u,
    B_NAVIGABLE_JUMP = 0x08000000u,
    B_FRAME_EVENTS = 0x04000000u,
    B_NAVIGABLE = 0x02000000u,
    B_SUBPIXEL_PRECISE = 0x01000000u,
    B_DRAW_ON_CHILDREN = 0x00800000u,
};

// Window looks, feels and flags.
enum window_look : int32 {
    B_BORDERED_WINDOW_LOOK = 20,
    B_NO_BORDER_WINDOW_LOOK = 19,
    B_TITLED_WINDOW_LOOK = 1,
    B_DOCUMENT_WINDOW_LOOK = 11,
    B_MODAL_WINDOW_LOOK = 3,
    B_FLOATING_WINDOW_LOOK = 7,
    // The kit's own: a border without title bar that grabs the pointer and closes on a click
    // outside it, for small windows that vanish once done with.
    B_POPUP_WINDOW_LOOK = 25,
};
enum window_feel : int32 {
    B_NORMAL_WINDOW_FEEL = 0,
    B_MODAL_SUBSET_WINDOW_FEEL = 2,
    B_MODAL_APP_WINDOW_FEEL = 1,
    B_MODAL_ALL_WINDOW_FEEL = 3,
    B_FLOATING_SUBSET_WINDOW_FEEL = 5,
    B_FLOATING_APP_WINDOW_FEEL = 4,
    B_FLOATING_ALL_WINDOW_FEEL = 6,
};
enum window_type : int32 {
    B_UNTYPED_WINDOW = 0,
    B_TITLED_WINDOW = 1,
    B_MODAL_WINDOW = 3,
    B_DOCUMENT_WINDOW = 11,
    B_BORDERED_WINDOW = 20,
    B_FLOATING_WINDOW = 21,
};
enum : uint32 {
    B_NOT_MOVABLE = 0x00000001,
    B_NOT_CLOSABLE = 0x00000020,
    B_NOT_ZOOMABLE = 0x00000040,
    B_NOT_MINIMIZABLE = 0x00004000,
    B_NOT_RESIZABLE = 0x00000002,
    B_NOT_H_RESIZABLE = 0x00000004,
    B_NOT_V_RESIZABLE = 0x00000008,
    B_AVOID_FRONT = 0x00000080,
    B_AVOID_FOCUS = 0x00002000,
    B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
    B_OUTLINE_RESIZE = 0x00001000,
    B_NO_WORKSPACE_ACTIVATION = 0x00000100,
    B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
    B_ASYNCHRONOUS_CONTROLS = 0x00080000,
    B_QUIT_ON_WINDOW_CLOSE = 0x00100000,
};
constexpr uint32 B_CURRENT_WORKSPACE = 0;
constexpr uint32 B_ALL_WORKSPACES = 0xffffffffu;

// Drawing modes. Copy paints the colour; over skips transparent bitmap pixels; erase paints
// the low colour; invert inverts what is there; alpha blends by the source's alpha; blend
// averages source and destination; add, subtract, min and max work per channel.
enum drawing_mode : int32 {
    B_OP_COPY,
    B_OP_OVER,
    B_OP_ERASE,
    B_OP_INVERT,
    B_OP_ADD,
    B_OP_SUBTRACT,
    B_OP_BLEND,
    B_OP_MIN,
    B_OP_MAX,
    B_OP_SELECT,
    B_OP_ALPHA,
};
enum source_alpha : int32 { B_PIXEL_ALPHA = 0, B_CONSTANT_ALPHA };
enum alpha_function : int32 { B_ALPHA_OVERLAY = 0, B_ALPHA_COMPOSITE };

// Patterns: eight rows of eight bits, a set bit takes the high colour.
struct pattern {
    uint8 data[8];
    constexpr bool operator==(const pattern&) const = default;
};
constexpr pattern B_SOLID_HIGH = {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};
constexpr pattern B_SOLID_LOW = {{0, 0, 0, 0, 0, 0, 0, 0}};
constexpr pattern B_MIXED_COLORS = {{0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55}};

// Mouse buttons, as GetMouse reports them: primary = left, secondary = right.
enum : uint32 {
    B_PRIMARY_MOUSE_BUTTON = 0x01,
    B_SECONDARY_MOUSE_BUTTON = 0x02,
    B_TERTIARY_MOUSE_BUTTON = 0x04,
};
// Where the pointer is relative to the view that gets MouseMoved.
enum : uint32 { B_ENTERED_VIEW = 0, B_INSIDE_VIEW, B_EXITED_VIEW, B_OUTSIDE_VIEW };

// Modifier keys. The command key is Ctrl; command+option in a shortcut is Ctrl+Shift.
enum : uint32 {
    B_SHIFT_KEY = 0x00000001,
    B_COMMAND_KEY = 0x00000002,
    B_CONTROL_KEY = 0x00000004,
    B_CAPS_LOCK = 0x00000008,
    B_OPTION_KEY = 0x00000040,
    B_MENU_KEY = 0x00000080,
};

// Bytes KeyDown receives for keys that have no character.
enum : char {
    B_BACKSPACE = 0x08,
    B_RETURN = 0x0a,
    B_ENTER = 0x0a,
    B_SPACE = 0x20,
    B_TAB = 0x09,
    B_ESCAPE = 0x1b,
    B_LEFT_ARROW = 0x1c,
    B_RIGHT_ARROW = 0x1d,
    B_UP_ARROW = 0x1e,
    B_DOWN_ARROW = 0x1f,
    B_INSERT = 0x05,
    B_DELETE = 0x7f,
    B_HOME = 0x01,
    B_END = 0x04,
    B_PAGE_UP = 0x0b,
    B_PAGE_DOWN = 0x0c,
    B_FUNCTION_KEY = 0x10,
};

enum color_space : int32 {
    B_NO_COLOR_SPACE = 0,
    B_RGB32 = 0x0008,      // bytes blue, green, red, unused
    B_RGBA32 = 0x2008,     // bytes blue, green, red, alpha
    B_RGB24 = 0x0003,      // bytes blue, green, red
    B_RGB24_BIG = 0x1003,  // bytes red, green, blue
    B_GRAY8 = 0x0002,
};

enum alignment : int32 { B_ALIGN_LEFT, B_ALIGN_RIGHT, B_ALIGN_CENTER };
enum orientation : int32 { B_HORIZONTAL, B_VERTICAL };
enum border_style : int32 { B_PLAIN_BORDER, B_FANCY_BORDER, B_NO_BORDER };

// Input-event codes, as the current message of a mouse or key hook carries them.
enum : uint32 {
    B_MOUSE_DOWN = four_cc("_MDN"),
    B_MOUSE_UP = four_cc("_MUP"),
    B_MOUSE_MOVED = four_cc("_MMV"),
    // To the view under the pointer's MessageReceived: floats "be:wheel_delta_x" and
    // "be:wheel_delta_y", one notch = 1, positive = down or right; int32 "modifiers".
    B_MOUSE_WHEEL_CHANGED = four_cc("_MWC"),
    B_KEY_DOWN = four_cc("_KYD"),
    B_KEY_UP = four_cc("_KYU"),
    B_WINDOW_ACTIVATED = four_cc("_ACT"),
    B_WINDOW_RESIZED = four_cc("_WRS"),
    B_WINDOW_MOVED = four_cc("_WMV"),
    B_VALUE_CHANGED = four_cc("_VCH"),
};

constexpr rgb_color B_TRANSPARENT_COLOR = {0x77, 0x74, 0x77, 0x00};
constexpr rgb_color B_TRANSPARENT_32_BIT = B_TRANSPARENT_COLOR;

using uchar = unsigned char;

// The current keyboard modifiers (GUI thread; 0 with no display).
uint32 modifiers();
