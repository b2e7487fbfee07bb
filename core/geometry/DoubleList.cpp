#include "core/geometry/DoubleList.h"

#include "core/model/CADSysException.h"
#include "core/file/Stream.h"

namespace {
constexpr int64_t DoubleRecordSize = 8;
}

int TDoubleList::Add(double value)
{
    m_Values.push_back(value);
    return Count() - 1;
}

double TDoubleList::Get(int index) const
{
    if (index < 0 || index >= Count())
        throw ECADOutOfBound("TDoubleList.Get: Index out of bound");
    return m_Values[static_cast<size_t>(index)];
}

double TDoubleList::Last() const
{
    if (m_Values.empty())
        throw ECADOutOfBound("TDoubleList.Last: List is empty");
    return m_Values.back();
}

void TDoubleList::AddFrom(const TDoubleList& other)
{
    // A copy first: appending a list to itself would read while it grows.
    const std::vector<double> values = other.m_Values;
    m_Values.insert(m_Values.end(), values.begin(), values.end());
}

void TDoubleList::LoadFromStream(TStream& stream)
{
    const int32_t count = ReadInt32(stream);
    if (count < 1)
        return;
    if (!stream.CanHold(count, DoubleRecordSize))
        throw ECADFileNotValid("TDoubleList.LoadFromStream: Invalid number of values.");
    m_Values.reserve(m_Values.size() + static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        m_Values.push_back(ReadDouble(stream));
}

void TDoubleList::SaveToStream(TStream& stream) const
{
    WriteInt32(stream, Count());
    for (double v : m_Values)
        WriteDouble(stream, v);
}
