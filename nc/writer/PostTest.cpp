#include "nc/writer/PostTest.h"

#include "cam/ops/OpKinds.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/tools/DatiUtBase.h"
#include "nc/writer/ProgramGeneration.h"
#include "nc/writer/ScriveGCode.h"

#include <filesystem>
#include <memory>

namespace {

std::unique_ptr<TOpManagerField> TestOperation(bool cycle)
{
    auto op = std::make_unique<TOpManagerField>(cycle ? 3 : 1);
    TParametriOperazione& params = *op->Parameters;
    if (!cycle)
        params.ZDepth = -1;
    params.ZRapid = 2;
    TDatiUtBase& tool = *params.ToolData;
    tool.ToolNumber = 1;
    tool.Diameter = 1;
    tool.SpindleSpeed = 1000;
    tool.Feed = 50;
    tool.PlungeFeed = 25;
    auto curve = std::make_unique<TCurvaNci3d>();
    curve->Code = cycle ? 81 : 0;
    curve->Vertices.push_back(TAVertice3d::CreateAt(TVector3D{0, 0, 0}));
    curve->Vertices.push_back(TAVertice3d::CreateAt(TVector3D{5, 0, 0}));
    curve->Vertices.push_back(TAVertice3d::CreateFull(1, TVector3D{10, 5, 0}, TVector3D{5, 5, 0}, 0));
    op->Toolpaths.push_back(std::move(curve));
    return op;
}

// Puts the writer's output file name back however the test ends.
class TOutputNameKept {
public:
    explicit TOutputNameKept(TScriveGCode& writer) : m_Writer(writer), m_Name(writer.OutputFileName()) {}
    ~TOutputNameKept() { m_Writer.SetFileName(m_Name); }
    TOutputNameKept(const TOutputNameKept&) = delete;
    TOutputNameKept& operator=(const TOutputNameKept&) = delete;

private:
    TScriveGCode& m_Writer;
    std::string m_Name;
};

} // namespace

std::string WritePostTestProgram(bool cycle, const std::string& configFolder, const std::string& scratchFolder)
{
    TOpManager manager;
    manager.AddOperation(TestOperation(cycle));
    TScriveGCode& writer = GCodeWriter();
    const TOutputNameKept kept(writer);
    writer.LoadPst(configFolder);
    const std::string fileName = (std::filesystem::path(scratchFolder) / ("test." + writer.FileExtension)).string();
    std::error_code ignored;
    std::filesystem::remove(fileName, ignored);
    writer.SetFileName(fileName);
    WriteProgram(manager, false, TPostFamilyCheck::AnyPost);
    return std::filesystem::exists(fileName, ignored) ? fileName : std::string();
}
