#include "core/model/ClassRegistry.h"

#include "core/model/CADSysException.h"

#include <array>
#include <optional>

namespace {

std::array<std::optional<TGraphicObjectClass>, QV_00ClassRegistrySize>& Slots()
{
    static std::array<std::optional<TGraphicObjectClass>, QV_00ClassRegistrySize> slots;
    return slots;
}

} // namespace

void QV_00RegisterClass(uint16_t id, TGraphicObjectClass cls)
{
    if (id >= QV_00ClassRegistrySize)
        throw ECADOutOfBound("QV_00RegisterClass: Out of bound registration index");
    auto& slot = Slots()[id];
    if (slot)
        throw ECADObjClassNotFound("QV_00RegisterClass: Index " + std::to_string(id) + " already allocated by " +
                                   slot->Name);
    slot = std::move(cls);
}

int16_t QV_00FindClassIndex(std::string_view name)
{
    const auto& slots = Slots();
    for (int i = 0; i < QV_00ClassRegistrySize; ++i)
        if (slots[i] && slots[i]->Name == name)
            return static_cast<int16_t>(i);
    throw ECADObjClassNotFound("QV_00FindClassIndex: " + std::string(name) + " graphic class not found");
}

const TGraphicObjectClass& QV_00FindClassByName(std::string_view name)
{
    return *Slots()[QV_00FindClassIndex(name)];
}

const TGraphicObjectClass& QV_00FindClassByIndex(uint16_t id)
{
    if (id >= QV_00ClassRegistrySize)
        throw ECADOutOfBound("QV_00FindClassByIndex: Out of bound registration index");
    const auto& slot = Slots()[id];
    if (!slot)
        throw ECADObjClassNotFound("QV_00FindClassByIndex: Index not registered");
    return *slot;
}

void QV_00ClearClassRegistry()
{
    for (auto& slot : Slots())
        slot.reset();
}
