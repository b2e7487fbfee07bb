// The words of a block, made in the writer's one reused buffer, and the
// word functions that give one word as a text.

#include "nc/writer/ScriveGCode.h"

#include <charconv>
#include <cmath>
#include <numbers>

// --- Words made in the block buffer ---

template <class TPut>
std::string TScriveGCode::OneWord(TPut put)
{
    const size_t mark = m_Words.size();
    struct TTrim {
        std::string& Words;
        size_t Mark;
        ~TTrim() { Words.resize(Mark); }
    } trim{m_Words, mark};
    const TWord word = put();
    return m_Words.substr(word.Begin, word.End - word.Begin);
}

TScriveGCode::TWord TScriveGCode::PutText(std::string_view text)
{
    const size_t begin = m_Words.size();
    m_Words += text;
    return {begin, m_Words.size()};
}

void TScriveGCode::PutNumber(TPstFloatFormat& numbers, const std::string& format, double value)
{
    const size_t start = m_Words.size();
    numbers.Append(m_Words, format, value);
    if (DelZero && m_Words.find('.', start) != std::string::npos) {
        while (m_Words.size() > start && m_Words.back() == '0')
            m_Words.pop_back();
    }
}

void TScriveGCode::PutScaled(const std::string& prefix, double value, double scale)
{
    m_Words += prefix;
    PutNumber(m_AxisNumbers, AxisFormat, ScaleActive ? value * scale : value);
}

TScriveGCode::TWord TScriveGCode::PutAxisWord(EAxis axis, double value, bool latheX)
{
    double& incLast = axis == EAxis::X ? IncLastX : axis == EAxis::Y ? IncLastY : IncLastZ;
    if (!IncrementalStep(incLast, value))
        return {};
    return PutSteppedAxisWord(axis, value, latheX);
}

TScriveGCode::TWord TScriveGCode::PutSteppedAxisWord(EAxis axis, double value, bool latheX)
{
    std::string& memory = axis == EAxis::X ? LastXText : axis == EAxis::Y ? LastYText : LastZText;
    const std::string& letter = axis == EAxis::X ? XPref : axis == EAxis::Y ? YPref : ZPref;
    const double scale = axis == EAxis::X ? XScale : axis == EAxis::Y ? YScale : ZScale;

    if (latheX && XDiameterMode)
        value *= 2;
    if (ScaleActive)
        value *= scale;
    const size_t begin = m_Words.size();
    m_Words += letter;
    const size_t number = m_Words.size();
    PutNumber(m_AxisNumbers, AxisFormat, value);
    const std::string_view text(m_Words.data() + number, m_Words.size() - number);
    if (!IncrementalMode && XYZModal && text == memory) {
        m_Words.resize(begin);
        return {};
    }
    memory.assign(text);
    return {begin, m_Words.size()};
}

TScriveGCode::TWord TScriveGCode::PutFeedWord(double value)
{
    const size_t begin = m_Words.size();
    if (value == -2.0) {
        if (RapidWord.empty())
            return {};
        m_Words += Separator;
        m_Words += RapidWord;
        return {begin, m_Words.size()};
    }
    m_Words += FeedPref;
    const size_t number = m_Words.size();
    // Moves mostly repeat the feed: its text is kept for the next one.
    if (value == m_FeedValue && FeedFormat == m_FeedFormat) {
        m_Words += m_FeedText;
    } else {
        m_FeedNumbers.Append(m_Words, FeedFormat, value); // feeds keep their zeros
        m_FeedValue = value;
        m_FeedFormat = FeedFormat;
        m_FeedText.assign(m_Words, number);
    }
    const std::string_view text(m_Words.data() + number, m_Words.size() - number);
    const bool repeated = FModal && text == LastFText;
    LastFText.assign(text);
    if (repeated) {
        m_Words.resize(begin);
        return {};
    }
    return {begin, m_Words.size()};
}

TScriveGCode::TWord TScriveGCode::PutGCode(int index)
{
    const std::string& code = GCodes.at(static_cast<size_t>(index));
    if (code == LastGText && GModal.at(static_cast<size_t>(index)))
        return {};
    LastGText = code;
    return PutText(code);
}

TScriveGCode::TWord TScriveGCode::PutBlockNumber()
{
    if (!OutputSeq)
        return {};
    const size_t begin = m_Words.size();
    m_Words += SeqPrefix;
    char digits[16];
    m_Words.append(digits, std::to_chars(digits, digits + sizeof digits, SeqCounter).ptr);
    // Numbering neither stops nor wraps at SeqMax; past the int32 range it
    // wraps, which no program of this world reaches.
    SeqCounter = static_cast<int32_t>(static_cast<int64_t>(SeqCounter) + SeqInc);
    return {begin, m_Words.size()};
}

TScriveGCode::TWord TScriveGCode::PutArcWords(const TAVertice3d& vertex)
{
    if (vertex.Kind == 0)
        return {};
    const TVector3D& s = LastPosition.EndPoint;
    const TVector3D& e = vertex.EndPoint;
    const TVector3D& c = vertex.Centre;
    double ox = c.X, oy = c.Y; // ArcCenter 1, and any value outside 1 to 4
    switch (ArcCenter) {
    case 2:
        ox = c.X - s.X;
        oy = c.Y - s.Y;
        break;
    case 3:
        ox = s.X - c.X;
        oy = s.Y - c.Y;
        break;
    case 4:
        ox = std::fabs(s.X - c.X);
        oy = std::fabs(s.Y - c.Y);
        break;
    default:
        break;
    }
    const size_t begin = m_Words.size();
    switch (ArcOutput) {
    case 0:
        if (Dialect == PostDialect::Lathe) {
            PutScaled(IPref, oy, XScale);
            m_Words += Separator;
            PutScaled(KPref, ox, XScale);
        } else {
            PutScaled(IPref, ox, XScale);
            m_Words += Separator;
            PutScaled(JPref, oy, YScale);
        }
        break;
    case 1:
    case 2: {
        const double radius = std::hypot(e.X - c.X, e.Y - c.Y);
        if (ArcOutput == 1) {
            PutScaled(RPref, radius, XScale);
            break;
        }
        const double a0 = std::atan2(s.Y - c.Y, s.X - c.X);
        const double a1 = std::atan2(e.Y - c.Y, e.X - c.X);
        double sweep = vertex.Kind == 1 ? a1 - a0 : a0 - a1;
        if (sweep < 0)
            sweep += 2 * std::numbers::pi;
        PutScaled(RPref, sweep > std::numbers::pi ? -radius : radius, XScale);
        break;
    }
    default:
        return {};
    }
    return {begin, m_Words.size()};
}

std::string_view TScriveGCode::JoinBlock(std::initializer_list<TWord> words)
{
    m_Block.clear();
    for (const TWord word : words) {
        if (word.Empty())
            continue;
        if (!m_Block.empty())
            m_Block += Separator;
        m_Block.append(m_Words, word.Begin, word.End - word.Begin);
    }
    return m_Block;
}

// --- The word functions, each one word made in the buffer ---

std::string TScriveGCode::XWord(double value)
{
    return OneWord([&] { return PutAxisWord(EAxis::X, value, false); });
}

std::string TScriveGCode::YWord(double value)
{
    return OneWord([&] { return PutAxisWord(EAxis::Y, value, false); });
}

std::string TScriveGCode::ZWord(double value)
{
    return OneWord([&] { return PutAxisWord(EAxis::Z, value, false); });
}

std::string TScriveGCode::LatheXWord(double value)
{
    return OneWord([&] { return PutAxisWord(EAxis::X, value, true); });
}

std::string TScriveGCode::SteppedAxisWord(EAxis axis, double value, bool latheX)
{
    return OneWord([&] { return PutSteppedAxisWord(axis, value, latheX); });
}

std::string TScriveGCode::ScaledWord(const std::string& prefix, double value, double scale)
{
    return OneWord([&] {
        const size_t begin = m_Words.size();
        PutScaled(prefix, value, scale);
        return TWord{begin, m_Words.size()};
    });
}

std::string TScriveGCode::IWord(double value)
{
    return ScaledWord(IPref, value, XScale);
}

std::string TScriveGCode::JWord(double value)
{
    return ScaledWord(JPref, value, YScale);
}

std::string TScriveGCode::KWord(double value)
{
    return ScaledWord(KPref, value, XScale);
}

std::string TScriveGCode::RWord(double value)
{
    return ScaledWord(RPref, value, XScale);
}

std::string TScriveGCode::FeedWord(double value)
{
    return OneWord([&] { return PutFeedWord(value); });
}

std::string TScriveGCode::GCodeWord(int index)
{
    return OneWord([&] { return PutGCode(index); });
}

std::string TScriveGCode::BlockNumber()
{
    return OneWord([&] { return PutBlockNumber(); });
}

std::string TScriveGCode::ArcWords(const TAVertice3d& vertex)
{
    return OneWord([&] { return PutArcWords(vertex); });
}
