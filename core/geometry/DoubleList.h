#pragma once
// TDoubleList: the owning list of doubles in which a NURBS keeps its knots
// and weights, with its stream form: int32 count, then count little-endian
// doubles.

#include <span>
#include <vector>

class TStream;

class TDoubleList {
public:
    int Count() const { return static_cast<int>(m_Values.size()); }
    std::span<const double> Values() const { return m_Values; }

    // Appends the value and returns its index.
    int Add(double value);
    // The value at index; an index outside 0 .. count - 1 raises
    // ECADOutOfBound "TDoubleList.Get: Index out of bound".
    double Get(int index) const;
    // The value at count - 1; an empty list raises ECADOutOfBound
    // "TDoubleList.Last: List is empty".
    double Last() const;
    // Appends a copy of every value of other (also when other is this list).
    void AddFrom(const TDoubleList& other);
    void Clear() { m_Values.clear(); }

    // Reads the stream form and appends the values. A count below 1 reads
    // nothing more; a count the stream cannot hold raises ECADFileNotValid
    // "TDoubleList.LoadFromStream: Invalid number of values." before
    // anything is allocated; a stream that ends early raises
    // EStreamReadError (the values read so far stay appended).
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

private:
    std::vector<double> m_Values;
};
