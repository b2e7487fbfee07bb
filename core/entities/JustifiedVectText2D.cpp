#include "core/entities/JustifiedVectText2D.h"

#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/PickHelpers.h"
#include "core/file/Stream.h"
#include "core/model/UserNotifier.h"
#include "core/entities/VectFont.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';

// The registry slot that holds font; none for a null or unregistered font.
std::optional<int32_t> RegistrySlotOf(const TVectFont* font)
{
    if (!font)
        return std::nullopt;
    try {
        return CADSysFindFontIndex(font);
    } catch (const ECADObjClassNotFound&) {
        return std::nullopt;
    }
}

// The lines of a text: split at every carriage return, a line feed right
// after it dropped (the rule TVectFont::MeasureText follows). A text ending
// in a carriage return ends with an empty line.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (;;) {
        const size_t cr = text.find(kCarriageReturn, start);
        if (cr == std::string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == kLineFeed)
            ++start;
    }
}

void FrameScreenRect(TCanvas2D& canvas, const TIntPoint& a, const TIntPoint& b)
{
    canvas.FrameRect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y));
}

} // namespace

TJustifiedVectText2D::TJustifiedVectText2D(int32_t id, TVectFont* font, const TRect2D& box, double height,
                                           std::string text)
    : TPrimitive2D(id, 2), m_Font(font), m_FontIndex(RegistrySlotOf(font).value_or(0)), m_Text(std::move(text)),
      m_Height(height)
{
    const std::array<TPoint2D, 2> corners{box.FirstEdge, box.SecondEdge};
    AddPointsQuietly(corners);
    Points().SetGrowable(false);
    UpdateBounds();
}

TJustifiedVectText2D::TJustifiedVectText2D(TStream& stream, std::string_view signature)
    : TPrimitive2D(stream, signature)
{
    m_Text = ReadStreamEx(stream);
    m_FontIndex = ReadInt32(stream);
    m_HJustification = ReadUInt8(stream);
    m_VJustification = ReadUInt8(stream);
    m_Flag = ReadUInt8(stream);
    m_Height = ReadDouble(stream);
    m_InterLine = ReadDouble(stream);
    m_CharSpacing = ReadDouble(stream);
    if (!std::isfinite(m_Height) || !std::isfinite(m_InterLine) || !std::isfinite(m_CharSpacing))
        throw ECADFileNotValid("TJustifiedVectText2D.CreateFromStream: Invalid text size.");
    try {
        // The slot is the low 16 bits of the stored index.
        m_Font = CADSysFindFontByIndex(static_cast<uint16_t>(m_FontIndex));
    } catch (const ECADObjClassNotFound&) {
        UserNotifier().ShowMessage(EMessageKind::Plain, "Font class not found. Font not assigned", "");
        m_Font = nullptr;
    }
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TJustifiedVectText2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TJustifiedVectText2D>(stream, signature);
}

TJustifiedVectText2D::TJustifiedVectText2D(const TJustifiedVectText2D& source, TCloneTag tag)
    : TPrimitive2D(source, tag), m_Font(source.m_Font), m_FontIndex(source.m_FontIndex), m_Text(source.m_Text),
      m_HJustification(source.m_HJustification), m_VJustification(source.m_VJustification),
      m_AnchorPoint(source.m_AnchorPoint), m_Height(source.m_Height), m_CharSpacing(source.m_CharSpacing),
      m_InterLine(source.m_InterLine), m_Flag(source.m_Flag)
{
}

std::unique_ptr<TGraphicObject> TJustifiedVectText2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TJustifiedVectText2D(*this, TCloneTag{}));
}

TRect2D TJustifiedVectText2D::GetTextBox()
{
    const TRect2D measured =
        m_Font ? m_Font->MeasureText(m_Text, m_Height, m_CharSpacing, m_InterLine) : MakeRect2D(0, 0, 0, 0);
    TRect2D corners = MakeRect2D(0, 0, 0, 0);
    const auto points = Points().Points();
    if (!points.empty())
        corners = TRect2D{points.front(), points.size() > 1 ? points[1] : points.front()};
    const TRect2D box = NormalizeRect2D(corners);
    const double left = box.FirstEdge.X;
    const double bottom = box.FirstEdge.Y;
    const double right = box.SecondEdge.X;
    const double top = box.SecondEdge.Y;
    const double textTop = measured.SecondEdge.Y;
    const double textBottom = measured.FirstEdge.Y;

    m_AnchorPoint = MakePoint2D(left, top - textTop);
    const double width = measured.SecondEdge.X - measured.FirstEdge.X;
    double dx = left;
    if (m_HJustification == kJustifyRight)
        dx = right - width;
    else if (m_HJustification == kJustifyCentre)
        dx = (left + right - width) / 2;
    double dy = top - textTop;
    if (m_VJustification == kJustifyBottom)
        dy = bottom - textBottom;
    else if (m_VJustification == kJustifyMiddle)
        dy = (top + bottom) / 2;
    return MakeRect2D(measured.FirstEdge.X + dx, textBottom + dy, measured.SecondEdge.X + dx, textTop + dy);
}

void TJustifiedVectText2D::ComputeBounds()
{
    const TRect2D textBox = GetTextBox();
    SetBox(TransformRect2D(textBox, GetModelTransform()));
}

void TJustifiedVectText2D::Draw()
{
    if (!m_Font || !ViewServices().Scene)
        return;
    SetSceneNode(BuildSceneObject(TargetGroup(TSceneGroup::Entity)));
}

void TJustifiedVectText2D::DrawSelected() {}

TSceneNodeId TJustifiedVectText2D::BuildSceneObject(TSceneNodeId group)
{
    TSceneNodeId first = NoSceneNode;
    if (!m_Font || !ViewServices().Scene)
        return first;
    const TRect2D box = GetTextBox();
    TPoint2D pen = MakePoint2D(box.FirstEdge.X, box.SecondEdge.Y - m_Height);
    const std::vector<std::string_view> lines = SplitLines(m_Text);
    for (size_t i = 0; i < lines.size(); ++i) {
        DrawLine(group, lines[i], pen, first);
        if (i + 1 < lines.size()) {
            // The same depth the text box was measured with.
            const double depth = -m_Font->MeasureText(lines[i], m_Height, m_CharSpacing, m_InterLine).FirstEdge.Y;
            pen.Y -= depth + m_Height * m_InterLine;
        }
    }
    return first;
}

void TJustifiedVectText2D::DrawLine(TSceneNodeId group, std::string_view line, TPoint2D pen, TSceneNodeId& first)
{
    std::vector<TPoint2D> nodes;
    for (const char c : line) {
        const auto code = static_cast<uint8_t>(c);
        if (const TVectChar* glyph = m_Font->GlyphToDraw(code)) {
            for (int s = 0; s < glyph->StrokesCount(); ++s) {
                const TPointsSet2D& stroke = glyph->GetStroke(s);
                if (stroke.Count() == 0)
                    continue;
                nodes.clear();
                for (const TPoint2D& p : stroke.Points()) {
                    const TPoint2D q = CartesianPoint2D(p);
                    nodes.push_back(MakePoint2D(pen.X + q.X * m_Height, pen.Y + q.Y * m_Height));
                }
                const TSceneNodeId node = AddSceneLines(group, nodes);
                if (first == NoSceneNode)
                    first = node;
            }
        }
        pen.X += m_Height * (m_Font->CharAdvance(code) + m_CharSpacing);
    }
}

int32_t TJustifiedVectText2D::SavedFontIndex() const
{
    return RegistrySlotOf(m_Font).value_or(m_FontIndex);
}

void TJustifiedVectText2D::SaveToStream(TStream& stream)
{
    TPrimitive2D::SaveToStream(stream);
    WriteStreamEx(stream, m_Text);
    WriteInt32(stream, SavedFontIndex());
    WriteUInt8(stream, m_HJustification);
    WriteUInt8(stream, m_VJustification);
    WriteUInt8(stream, m_Flag);
    WriteDouble(stream, m_Height);
    WriteDouble(stream, m_InterLine);
    WriteDouble(stream, m_CharSpacing);
}

void TJustifiedVectText2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TPrimitive2D::Assign(source);
    if (const auto* other = dynamic_cast<const TJustifiedVectText2D*>(&source)) {
        m_Text = other->m_Text;
        m_Height = other->m_Height;
        m_InterLine = other->m_InterLine;
        m_CharSpacing = other->m_CharSpacing;
        m_Flag = other->m_Flag;
        m_Font = other->m_Font;
        m_FontIndex = other->m_FontIndex;
        m_HJustification = other->m_HJustification;
        m_VJustification = other->m_VJustification;
        TPointsSet2D& points = Points();
        points.EnsureCapacity(2);
        const auto from = other->Points().Points();
        for (size_t i = 0; i < from.size() && i < 2; ++i)
            points.SetPoint(static_cast<int>(i), from[i]);
        points.SetGrowable(false);
    }
    UpdateBounds();
}

void TJustifiedVectText2D::DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints)
{
    if (showControlPoints)
        TPrimitive2D::DrawOnCanvas(canvas, showControlPoints);
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection)
        return;
    // The box already holds the model transform.
    FrameScreenRect(canvas, projection->PointToScreen(Box().FirstEdge), projection->PointToScreen(Box().SecondEdge));
}

void TJustifiedVectText2D::DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection || Points().Count() < 2)
        return;
    TMatrix4 m;
    m.Multiply(GetModelTransform(), parentTransform);
    FrameScreenRect(canvas, projection->PointToScreen(m.TransformPoint2D(Points().Get(0))),
                    projection->PointToScreen(m.TransformPoint2D(Points().Get(1))));
}

int32_t TJustifiedVectText2D::PickAt(const TPoint2D& point, double& distance, double aperture)
{
    const int32_t result = TObject2D::PickAt(point, distance, aperture);
    if (result != PickInBox)
        return result;
    const TRect2D r = GetTextBox();
    const std::array<TPoint2D, 4> corners{MakePoint2D(r.FirstEdge.X, r.FirstEdge.Y),
                                          MakePoint2D(r.FirstEdge.X, r.SecondEdge.Y),
                                          MakePoint2D(r.SecondEdge.X, r.SecondEdge.Y),
                                          MakePoint2D(r.SecondEdge.X, r.FirstEdge.Y)};
    const TMatrix4 m = GetModelTransform();
    double edgeDistance = PickFarDistance;
    const int code = PickPolygon(corners, point, m, aperture, edgeDistance);
    distance = std::min(aperture, edgeDistance);
    return std::max<int32_t>(PickInBox, code);
}

void TJustifiedVectText2D::SetText(std::string text)
{
    m_Text = std::move(text);
    UpdateBounds();
}

void TJustifiedVectText2D::SetFont(TVectFont* font)
{
    m_Font = font;
    if (const auto slot = RegistrySlotOf(font))
        m_FontIndex = *slot;
    UpdateBounds();
}

void TJustifiedVectText2D::SetHJustification(uint8_t value)
{
    m_HJustification = value;
    UpdateBounds();
}

void TJustifiedVectText2D::SetVJustification(uint8_t value)
{
    m_VJustification = value;
    UpdateBounds();
}

void TJustifiedVectText2D::SetHeight(double value)
{
    m_Height = value;
    UpdateBounds();
}

void TJustifiedVectText2D::SetCharSpacing(double value)
{
    m_CharSpacing = value;
    UpdateBounds();
}

void TJustifiedVectText2D::SetInterLine(double value)
{
    m_InterLine = value;
    UpdateBounds();
}
