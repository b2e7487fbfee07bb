#include "cad/scene/SceneHud.h"

#include <osgText/Font>


#include <algorithm>

namespace {

// An outline font for the texts. OSG's built-in font draws its glyphs in
// cells too low for lower-case letters, whose lower part is then lost; the
// built-in one stays the fallback where the font file is missing.
osgText::Font* HudFont()
{
    static const osg::ref_ptr<osgText::Font> font =
        osgText::readRefFontFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    return font.get();
}

osg::ref_ptr<osgText::Text> NewText(osgText::Text::AlignmentType alignment)
{
    osg::ref_ptr<osgText::Text> text = new osgText::Text;
    if (osgText::Font* font = HudFont())
        text->setFont(font);
    text->setDataVariance(osg::Object::DYNAMIC);
    text->setCharacterSize(TSceneHud::CharacterSize);
    text->setColor(osg::Vec4(1.0f, 1.0f, 0.0f, 1.0f));
    text->setAlignment(alignment);
    text->setNodeMask(0u);
    return text;
}

} // namespace

TSceneHud::TSceneHud() : m_Camera(new osg::Camera)
{
    m_Camera->setName("Hud");
    m_Camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    m_Camera->setViewMatrix(osg::Matrix::identity());
    m_Camera->setClearMask(0);
    m_Camera->setRenderOrder(osg::Camera::NESTED_RENDER);
    m_Camera->setAllowEventFocus(false);
    m_Camera->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    m_InfoText = NewText(osgText::Text::LEFT_TOP);
    m_ScaleText = NewText(osgText::Text::CENTER_TOP);
    m_Camera->addChild(m_InfoText);
    m_Camera->addChild(m_ScaleText);
    SetViewportSize(1, 1);
}

void TSceneHud::SetViewportSize(int32_t width, int32_t height)
{
    m_Height = std::max(height, 1);
    m_Camera->setProjectionMatrixAsOrtho2D(0.0, std::max(width, 1), 0.0, m_Height);
    // Positions are kept from the top; the camera's Y runs upwards.
    Place(*m_InfoText, m_Info, m_InfoX, m_InfoY);
    Place(*m_ScaleText, m_Scale, m_ScaleX, m_ScaleY);
}

void TSceneHud::Place(osgText::Text& text, const std::string& content, int32_t x, int32_t y)
{
    osgText::String shown;
    for (const char c : content) {
        if (c != '\r')
            shown.push_back(static_cast<unsigned char>(c));
    }
    text.setText(shown);
    text.setPosition(osg::Vec3(static_cast<float>(x), static_cast<float>(m_Height - y), 0.0f));
    text.setNodeMask(content.empty() ? 0u : ~0u);
}

void TSceneHud::SetInfoText(const std::string& text, int32_t x, int32_t y)
{
    m_Info = text;
    m_InfoX = x;
    m_InfoY = y;
    Place(*m_InfoText, m_Info, x, y);
}

void TSceneHud::SetScaleText(const std::string& text, int32_t x, int32_t y)
{
    m_Scale = text;
    m_ScaleX = x;
    m_ScaleY = y;
    Place(*m_ScaleText, m_Scale, x, y);
}
