// X key symbols as virtual-key codes: letters as their upper-case code,
// digits as themselves, and the named keys as on a US keyboard.
#include "x11_internal.h"

#include <X11/keysym.h>

namespace vlmr::x11 {

int virtual_key(KeySym sym) {
  if (sym >= XK_a && sym <= XK_z) return static_cast<int>(sym - XK_a) + 'A';
  if (sym >= XK_A && sym <= XK_Z) return static_cast<int>(sym - XK_A) + 'A';
  if (sym >= XK_0 && sym <= XK_9) return static_cast<int>(sym - XK_0) + '0';
  if (sym >= XK_F1 && sym <= XK_F24) return static_cast<int>(sym - XK_F1) + VK_F1;
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return static_cast<int>(sym - XK_KP_0) + VK_NUMPAD0;

  struct Pair {
    KeySym sym;
    int vk;
  };
  static constexpr Pair kNamed[] = {
      {XK_BackSpace, VK_BACK},      {XK_Tab, VK_TAB},           {XK_ISO_Left_Tab, VK_TAB},
      {XK_Return, VK_RETURN},       {XK_KP_Enter, VK_RETURN},   {XK_Pause, VK_PAUSE},
      {XK_Caps_Lock, VK_CAPITAL},   {XK_Escape, VK_ESCAPE},     {XK_space, VK_SPACE},
      {XK_Prior, VK_PRIOR},         {XK_Next, VK_NEXT},         {XK_End, VK_END},
      {XK_Home, VK_HOME},           {XK_Left, VK_LEFT},         {XK_Up, VK_UP},
      {XK_Right, VK_RIGHT},         {XK_Down, VK_DOWN},         {XK_Print, 0x2C},
      {XK_Insert, VK_INSERT},       {XK_Delete, VK_DELETE},     {XK_Shift_L, VK_SHIFT},
      {XK_Shift_R, VK_SHIFT},       {XK_Control_L, VK_CONTROL}, {XK_Control_R, VK_CONTROL},
      {XK_Alt_L, VK_MENU},          {XK_Alt_R, VK_MENU},        {XK_Meta_L, VK_MENU},
      {XK_Meta_R, VK_MENU},         {XK_ISO_Level3_Shift, VK_MENU},
      {XK_Super_L, 0x5B},           {XK_Super_R, 0x5C},         {XK_Menu, 0x5D},
      {XK_Num_Lock, VK_NUMLOCK},    {XK_Scroll_Lock, VK_SCROLL},
      // The keypad without Num Lock moves, as its labels say.
      {XK_KP_Insert, VK_INSERT},    {XK_KP_Delete, VK_DELETE},  {XK_KP_End, VK_END},
      {XK_KP_Down, VK_DOWN},        {XK_KP_Next, VK_NEXT},      {XK_KP_Left, VK_LEFT},
      {XK_KP_Begin, 0x0C},          {XK_KP_Right, VK_RIGHT},    {XK_KP_Home, VK_HOME},
      {XK_KP_Up, VK_UP},            {XK_KP_Prior, VK_PRIOR},    {XK_KP_Decimal, VK_DECIMAL},
      {XK_KP_Multiply, VK_MULTIPLY}, {XK_KP_Add, VK_ADD},       {XK_KP_Subtract, VK_SUBTRACT},
      {XK_KP_Divide, VK_DIVIDE},
      // Punctuation of a US layout.
      {XK_semicolon, 0xBA},         {XK_equal, 0xBB},           {XK_comma, 0xBC},
      {XK_minus, 0xBD},             {XK_period, 0xBE},          {XK_slash, 0xBF},
      {XK_grave, 0xC0},             {XK_bracketleft, 0xDB},     {XK_backslash, 0xDC},
      {XK_bracketright, 0xDD},      {XK_apostrophe, 0xDE},      {XK_less, 0xE2},
  };
  for (const Pair& p : kNamed)
    if (p.sym == sym) return p.vk;
  return 0;
}

}  // namespace vlmr::x11
