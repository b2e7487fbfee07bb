#pragma once
// The operation kinds and everything that depends on the kind: the tool
// record, whether a tool library is made current, who creates it, the
// writer operation that turns its toolpath into G-code, its machine family
// and the caption key of the operations tree (section "frmMain").
//
// Kinds 0 and 10 are placeholders of the document loader (the kind of an
// operation record of "QV-003" and before is read after its parameters; of
// "QV-004" and later before them). A kind above 13 has no row.

#include <cstdint>
#include <string_view>

enum class TOpToolRecord : uint8_t { None, Mill, Lathe, Laser };

enum class TOpWriter : uint8_t { None, Milling, Drilling, Polar, Lathe, LaserEngrave, LaserCut };

// Machine families: a program mixes none of Mill, Lathe and Laser; kinds of
// family None pass the check whatever else the program holds.
enum class TMachineFamily : uint8_t { None, Mill, Lathe, Laser };

struct TOpKindInfo {
    uint8_t Kind;
    TOpToolRecord Tool;
    bool MakesLibraryCurrent;
    bool FromMenu;      // made by a Machining menu command (the others come from documents or the loader)
    bool HasGenerator;  // Calculate computes its toolpath
    TOpWriter Writer;
    TMachineFamily Family;
    std::string_view CaptionKey;
};

inline constexpr uint8_t kOpKindCount = 14;

// Operation kinds by number.
namespace OpKind {
inline constexpr uint8_t LoaderOld = 0; // placeholder of records before "QV-004"
inline constexpr uint8_t Contour = 1;
inline constexpr uint8_t Pocket = 2;
inline constexpr uint8_t Drilling = 3;
inline constexpr uint8_t Rotary = 4;
inline constexpr uint8_t Parallel3D = 5;
inline constexpr uint8_t Reserved = 6;
inline constexpr uint8_t LatheFinish = 7;
inline constexpr uint8_t LaserEngrave = 8;
inline constexpr uint8_t LaserCut = 9;
inline constexpr uint8_t LoaderNew = 10; // placeholder of records of "QV-004" and later
inline constexpr uint8_t LatheRough = 11;
inline constexpr uint8_t Letters = 12;
inline constexpr uint8_t LaserPocket = 13;
} // namespace OpKind

// The row of a kind 0..13; null for any other number.
const TOpKindInfo* FindOpKind(int kind);
// The row of a kind 0..13; kind 10's row for any other number.
const TOpKindInfo& OpKindInfo(int kind);

bool IsLatheKind(int kind);  // 7, 11
bool IsLaserKind(int kind);  // 8, 9, 13
