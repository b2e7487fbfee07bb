#include "nc/sim/WriterSimEcho.h"

#include "nc/sim/Simulatore2D.h"
#include "nc/writer/ScriveGCode.h"
#include "nc/writer/WriterOperation.h"

void TWriterSimEcho::SetCurrentOperation(const TSimOperation* operation)
{
    m_Writer.SetCurrentOperation(dynamic_cast<const TWriterOperation*>(operation));
}

std::string TWriterSimEcho::XYMove(const TAVertice3d& vertex, bool rapid) { return m_Writer.XYMove(vertex, rapid); }

std::string TWriterSimEcho::XYZMove(const TAVertice3d& vertex) { return m_Writer.XYZMove(vertex, false); }

std::string TWriterSimEcho::ZMove(double z, bool rapid) { return m_Writer.ZMove(!rapid, z); }

std::string TWriterSimEcho::LatheMove(const TAVertice3d& vertex, bool rapid)
{
    TAVertice3d v = vertex;
    if (rapid)
        v.Attribute = TSimulatore2D::LatheRapidAttribute;
    else if (v.Attribute == TSimulatore2D::LatheRapidAttribute)
        v.Attribute = 0;
    return m_Writer.LatheMove(v);
}

std::string TWriterSimEcho::CycleTemplateLine(int32_t cycle, int32_t phase, const TAVertice3d& vertex)
{
    std::string line;
    m_Writer.CycleTemplateLine(vertex, cycle, phase, line);
    return line;
}
