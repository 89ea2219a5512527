#include "backends/x11/key_table.h"

#include <utility>

namespace quillgate::x11 {

namespace {

// The ANSI layout's codes; ISO and JIS extras have no key of their own here.
constexpr std::pair<uint16_t, uint32_t> keys[] = {
    {0, 'a'},    {1, 's'},    {2, 'd'},    {3, 'f'},    {4, 'h'},    {5, 'g'},    {6, 'z'},    {7, 'x'},
    {8, 'c'},    {9, 'v'},    {11, 'b'},   {12, 'q'},   {13, 'w'},   {14, 'e'},   {15, 'r'},   {16, 'y'},
    {17, 't'},   {18, '1'},   {19, '2'},   {20, '3'},   {21, '4'},   {22, '6'},   {23, '5'},   {24, '='},
    {25, '9'},   {26, '7'},   {27, '-'},   {28, '8'},   {29, '0'},   {30, ']'},   {31, 'o'},   {32, 'u'},
    {33, '['},   {34, 'i'},   {35, 'p'},   {37, 'l'},   {38, 'j'},   {39, '\''},  {40, 'k'},   {41, ';'},
    {42, '\\'},  {43, ','},   {44, '/'},   {45, 'n'},   {46, 'm'},   {47, '.'},   {49, ' '},   {50, '`'},
    {36, 0xff0d},  // Return
    {48, 0xff09},  // Tab
    {51, 0xff08},  // BackSpace
    {53, 0xff1b},  // Escape
    {54, keysym::controlR},  // right Command
    {55, keysym::controlL},  // Command
    {56, keysym::shiftL},
    {57, 0xffe5},  // Caps_Lock
    {58, keysym::altL},      // Option
    {59, keysym::superL},    // Control
    {60, keysym::shiftR},
    {61, keysym::altR},      // right Option
    {62, keysym::superR},    // right Control
    {65, 0xffae},  // KP_Decimal
    {67, 0xffaa},  // KP_Multiply
    {69, 0xffab},  // KP_Add
    {71, 0xff7f},  // Num_Lock (the Mac's Clear)
    {75, 0xffaf},  // KP_Divide
    {76, 0xff8d},  // KP_Enter
    {78, 0xffad},  // KP_Subtract
    {81, 0xffbd},  // KP_Equal
    {82, 0xffb0}, {83, 0xffb1}, {84, 0xffb2}, {85, 0xffb3}, {86, 0xffb4},
    {87, 0xffb5}, {88, 0xffb6}, {89, 0xffb7}, {91, 0xffb8}, {92, 0xffb9},
    {96, 0xffc2},  // F5
    {97, 0xffc3},  // F6
    {98, 0xffc4},  // F7
    {99, 0xffc0},  // F3
    {100, 0xffc5}, // F8
    {101, 0xffc6}, // F9
    {103, 0xffc8}, // F11
    {109, 0xffc7}, // F10
    {111, 0xffc9}, // F12
    {114, 0xff63}, // Insert (the Mac's Help)
    {115, 0xff50}, // Home
    {116, 0xff55}, // Prior
    {117, 0xffff}, // Delete
    {118, 0xffc1}, // F4
    {119, 0xff57}, // End
    {120, 0xffbf}, // F2
    {121, 0xff56}, // Next
    {122, 0xffbe}, // F1
    {123, 0xff51}, // Left
    {124, 0xff53}, // Right
    {125, 0xff54}, // Down
    {126, 0xff52}, // Up
};

constexpr uint64_t shiftFlag = 0x20000;
constexpr uint64_t controlFlag = 0x40000;
constexpr uint64_t optionFlag = 0x80000;
constexpr uint64_t commandFlag = 0x100000;

}  // namespace

std::optional<uint32_t> keysymOf(uint16_t macCode) {
    for (const auto& [code, sym] : keys) {
        if (code == macCode) return sym;
    }
    return std::nullopt;
}

std::vector<uint32_t> modifierKeysyms(uint64_t macFlags) {
    std::vector<uint32_t> held;
    if (macFlags & commandFlag) held.push_back(keysym::controlL);
    if (macFlags & shiftFlag) held.push_back(keysym::shiftL);
    if (macFlags & optionFlag) held.push_back(keysym::altL);
    if (macFlags & controlFlag) held.push_back(keysym::superL);
    return held;
}

}  // namespace quillgate::x11
