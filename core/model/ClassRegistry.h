#pragma once
// The stream class registry: 512 slots indexed by the int16 class id that
// precedes every stored object record (documents, block library, undo
// journal). A slot holds the class name and the factory that rebuilds an
// object of that class from its record; the factory is the class's stream
// constructor.
//
// Promises: ids are taken as unsigned 16-bit, so a negative stored id is out
// of bound like any id >= 512; every failure raises an ECADSysException
// subclass with the texts below and leaves the table unchanged. The table
// starts empty; the entity registration clears it and fills it at start-up.
// Not thread-safe: it is written once before any window exists.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TGraphicObject;
class TStream;

// Rebuilds an object from its record. signature is the 6-character version
// signature of the stream being read.
using TGraphicObjectFactory = std::unique_ptr<TGraphicObject> (*)(TStream& stream, std::string_view signature);

struct TGraphicObjectClass {
    std::string Name; // the class name the object reports through ClassName()
    TGraphicObjectFactory CreateFromStream = nullptr;
};

inline constexpr int QV_00ClassRegistrySize = 512;

// Stores the class in slot id. id >= 512 raises ECADOutOfBound
// "QV_00RegisterClass: Out of bound registration index"; an occupied slot
// raises ECADObjClassNotFound "QV_00RegisterClass: Index <id> already
// allocated by <occupant's class name>".
void QV_00RegisterClass(uint16_t id, TGraphicObjectClass cls);

// The lowest slot whose class name equals name exactly (case-sensitive);
// none raises ECADObjClassNotFound "QV_00FindClassIndex: <name> graphic
// class not found".
int16_t QV_00FindClassIndex(std::string_view name);

// The class in the slot that QV_00FindClassIndex finds (same error).
const TGraphicObjectClass& QV_00FindClassByName(std::string_view name);

// The class in slot id. id >= 512 raises ECADOutOfBound
// "QV_00FindClassByIndex: Out of bound registration index"; an empty slot
// raises ECADObjClassNotFound "QV_00FindClassByIndex: Index not registered".
const TGraphicObjectClass& QV_00FindClassByIndex(uint16_t id);

// Empties every slot.
void QV_00ClearClassRegistry();
