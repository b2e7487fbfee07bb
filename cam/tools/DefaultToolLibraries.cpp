#include "cam/tools/DefaultToolLibraries.h"

#include "core/settings/AppConfig.h"
#include "core/file/Stream.h"
#include "platform/IniFile.h"

namespace {

std::unique_ptr<TDatiUtFresa> Mill(int32_t number, const char* name, int32_t type, double diameter,
                                   double cornerRadius, double angle, int32_t speed, double feed, double plunge,
                                   float passZ, float length)
{
    auto t = std::make_unique<TDatiUtFresa>();
    t->ToolNumber = number;
    t->ToolName = name;
    t->ToolType = type;
    t->Diameter = diameter;
    t->CornerRadius = cornerRadius;
    t->ToolAngle = angle;
    t->SpindleSpeed = speed;
    t->SpindleChoice = 0; // clockwise
    t->Feed = feed;
    t->PlungeFeed = plunge;
    t->PassZ = passZ;
    t->ToolLength = length;
    return t;
}

std::unique_ptr<TDatiUtTornio> Insert(int32_t number, const char* name, int32_t type, double noseRadius,
                                      double edge1, float edge2, double angle2, float angle1, double feed)
{
    auto t = std::make_unique<TDatiUtTornio>();
    t->ToolNumber = number;
    t->ToolName = name;
    t->ToolType = type;
    t->Diameter = noseRadius;
    t->CornerRadius = edge1;
    t->EdgeLength2 = edge2;
    t->ToolAngle = angle2;
    t->EdgeAngle1 = angle1;
    t->SpindleSpeed = 1000;
    t->SpindleChoice = 1; // CW RPM
    t->Feed = feed;       // per revolution
    t->Coolant = true;
    return t;
}

std::unique_ptr<TDatiLaser> Laser(const char* name, double diameter, int32_t power, int32_t minPower, double feed,
                                  double feed2)
{
    auto t = std::make_unique<TDatiLaser>();
    t->ToolName = name;
    t->Diameter = diameter;
    t->SpindleSpeed = power;
    t->SpindleChoice = minPower;
    t->Feed = feed;
    t->PlungeFeed = feed2;
    return t;
}

std::unique_ptr<TLibreriaUtBase> MillLibrary(bool mm)
{
    auto lib = std::make_unique<TFresaLib>();
    if (mm) {
        lib->AddRecord(Mill(1, "Flat 1 mm", kToolFlat, 1, 0, 0, 24000, 300, 100, 0.3f, 40));
        lib->AddRecord(Mill(2, "Flat 3 mm", kToolFlat, 3, 0, 0, 18000, 800, 250, 1, 50));
        lib->AddRecord(Mill(3, "Flat 6 mm", kToolFlat, 6, 0, 0, 15000, 1200, 400, 2, 60));
        lib->AddRecord(Mill(4, "Bull nose 6 mm R1", kToolToro, 6, 1, 0, 15000, 1200, 400, 1.5f, 60));
        lib->AddRecord(Mill(5, "Ball 3 mm", kToolSferico, 3, 1.5, 0, 18000, 800, 250, 0.5f, 50));
        lib->AddRecord(Mill(6, "Ball 6 mm", kToolSferico, 6, 3, 0, 15000, 1200, 400, 1, 60));
        lib->AddRecord(Mill(7, "V-bit 90 deg", kToolConico, 6, 0, 90, 18000, 600, 200, 0.5f, 40));
        lib->AddRecord(Mill(8, "V-bit 60 deg tip 0.2", kToolConico, 6, 0, 60, 18000, 600, 200, 0.5f, 40));
        lib->AddRecord(Mill(9, "Drill 3 mm", kToolPunta, 3, 0, 118, 3000, 200, 100, 1, 60));
        static_cast<TDatiUtFresa&>(lib->Record(7)).TipDiameter = 0.2;
    } else {
        lib->AddRecord(Mill(1, "Flat 1/32\"", kToolFlat, 0.03125, 0, 0, 24000, 12, 4, 0.01f, 1.5f));
        lib->AddRecord(Mill(2, "Flat 1/8\"", kToolFlat, 0.125, 0, 0, 18000, 30, 10, 0.04f, 2));
        lib->AddRecord(Mill(3, "Flat 1/4\"", kToolFlat, 0.25, 0, 0, 15000, 48, 16, 0.08f, 2.5f));
        lib->AddRecord(Mill(4, "Bull nose 1/4\" R1/32", kToolToro, 0.25, 0.03125, 0, 15000, 48, 16, 0.06f, 2.5f));
        lib->AddRecord(Mill(5, "Ball 1/8\"", kToolSferico, 0.125, 0.0625, 0, 18000, 30, 10, 0.02f, 2));
        lib->AddRecord(Mill(6, "Ball 1/4\"", kToolSferico, 0.25, 0.125, 0, 15000, 48, 16, 0.04f, 2.5f));
        lib->AddRecord(Mill(7, "V-bit 90 deg", kToolConico, 0.25, 0, 90, 18000, 24, 8, 0.02f, 1.5f));
        lib->AddRecord(Mill(8, "V-bit 60 deg tip 0.01\"", kToolConico, 0.25, 0, 60, 18000, 24, 8, 0.02f, 1.5f));
        lib->AddRecord(Mill(9, "Drill 1/8\"", kToolPunta, 0.125, 0, 118, 3000, 8, 4, 0.04f, 2.5f));
        static_cast<TDatiUtFresa&>(lib->Record(7)).TipDiameter = 0.01;
    }
    return lib;
}

std::unique_ptr<TLibreriaUtBase> LatheLibrary(bool mm)
{
    auto lib = std::make_unique<TTornioLib>();
    const double k = mm ? 1 : 1 / 25.4;
    lib->AddRecord(Insert(1, mm ? "Rhombic 80 R0.4" : "Rhombic 80 R1/64", 0, mm ? 0.4 : 0.0156, 12 * k,
                          static_cast<float>(12 * k), 10, 90, mm ? 0.15 : 0.006));
    lib->AddRecord(Insert(2, mm ? "Rhombic 55 R0.8" : "Rhombic 55 R1/32", 0, mm ? 0.8 : 0.0313, 15 * k,
                          static_cast<float>(15 * k), 35, 90, mm ? 0.2 : 0.008));
    lib->AddRecord(Insert(3, mm ? "Triangle 60 R0.4" : "Triangle 60 R1/64", 1, mm ? 0.4 : 0.0156, 16 * k,
                          static_cast<float>(16 * k), 30, 90, mm ? 0.15 : 0.006));
    return lib;
}

std::unique_ptr<TLibreriaUtBase> LaserLibrary(bool mm)
{
    auto lib = std::make_unique<TLaserLib>();
    const double f = mm ? 1 : 1 / 25.4;
    lib->AddRecord(Laser("Engrave", mm ? 0.1 : 0.004, 300, 0, 3000 * f, 3000 * f));
    lib->AddRecord(Laser("Cut thin", mm ? 0.1 : 0.004, 1000, 0, 600 * f, 600 * f));
    lib->AddRecord(Laser("Cut thick", mm ? 0.15 : 0.006, 1000, 100, 200 * f, 200 * f));
    return lib;
}

} // namespace

std::vector<TDefaultToolLibrary> DefaultToolLibraries()
{
    std::vector<TDefaultToolLibrary> libs;
    for (const bool mm : {true, false}) {
        const std::string unitWord = UnitDefaults(mm).UnitWord;
        for (std::unique_ptr<TLibreriaUtBase>& lib : [mm] {
                 std::vector<std::unique_ptr<TLibreriaUtBase>> three;
                 three.push_back(MillLibrary(mm));
                 three.push_back(LatheLibrary(mm));
                 three.push_back(LaserLibrary(mm));
                 return three;
             }()) {
            std::string name = lib->DefaultFileName(unitWord);
            libs.push_back({std::move(name), std::move(lib)});
        }
    }
    return libs;
}

void WriteDefaultToolLibraries(const std::string& folder)
{
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const TDefaultToolLibrary& lib : DefaultToolLibraries()) {
        // Written without SaveToFile, which would also make the file the
        // library setting of the program.
        TMemoryStream bytes;
        lib.Library->SaveToStream(bytes);
        const std::string error = WriteFileAtomically(
            prefix + lib.FileName,
            std::string_view(reinterpret_cast<const char*>(bytes.Data().data()), bytes.Data().size()));
        if (!error.empty())
            throw EStreamWriteError(error);
    }
}
