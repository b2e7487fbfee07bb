#include "app/mainwin/frmAbout.h"

#include "app/mainwin/ImageLists.h"

#include "cad/ui/AnsiText.h"
#include "cad/ui/FormTranslate.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef KB_VERSION
#define KB_VERSION ""
#endif
#ifndef KB_PRODUCT_NAME
#define KB_PRODUCT_NAME ""
#endif

namespace {

// The translator's name in the message section. Optional in every language
// file, so it is not among the keys every file must hold.
constexpr std::string_view TranslatorKey = "Autor";

constexpr const char* WebSite = "https://kestrabel.orvento.example/";
constexpr const char* SupportMail = "support@orvento.example";

} // namespace

std::string TfrmAbout::GetFileInfo(std::string_view key)
{
    if (key == "ProductName")
        return KB_PRODUCT_NAME;
    if (key == "FileVersion")
        return KB_VERSION;
    return {};
}

std::string TfrmAbout::TranslatorCredit(const std::string& language)
{
    const std::string author = LangText(TranslatorKey);
    if (author.empty())
        return {};
    std::string name = language;
    if (!name.empty())
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name + " language translated by " + author;
}

TfrmAbout::TfrmAbout(const TAppConfig& config, QWidget* parent) : QDialog(parent), m_Config(config)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(542, 308);

    auto* layout = new QVBoxLayout(this);
    m_Info = new QLabel(this);
    m_Info->setObjectName(QStringLiteral("nol_lblAboutInfo"));
    m_Info->setAlignment(Qt::AlignCenter);
    m_Info->setText(AnsiToQString(GetFileInfo("ProductName") + " Version " + GetFileInfo("FileVersion")) +
                    QStringLiteral("\nA CAM program for small CNC machines:\nmills, routers, laser engravers and lathes."));
    m_Translation = new QLabel(this);
    m_Translation->setObjectName(QStringLiteral("nol_lbltTranslation"));
    m_Translation->setAlignment(Qt::AlignCenter);
    auto* www = new QLabel(QStringLiteral("WebSite: <a href=\"%1\">%1</a>").arg(QString::fromLatin1(WebSite)), this);
    www->setObjectName(QStringLiteral("lblwww"));
    auto* mail = new QLabel(
        QStringLiteral("E-Mail: <a href=\"mailto:%1\">%1</a>").arg(QString::fromLatin1(SupportMail)), this);
    mail->setObjectName(QStringLiteral("lblMailto"));
    for (QLabel* link : {www, mail}) {
        link->setOpenExternalLinks(true);
        link->setAlignment(Qt::AlignCenter);
    }
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(m_Info);
    layout->addWidget(m_Translation);
    // Each link beside its picture: the web site's (image 9) and the
    // mail's (image 8) of the File image list.
    for (const auto& [link, image] : {std::pair{www, 9}, std::pair{mail, 8}}) {
        auto* row = new QHBoxLayout;
        auto* picture = new QLabel(this);
        picture->setObjectName(link->objectName() + QStringLiteral("Image"));
        picture->setPixmap(ListImage(TImageList::File, image).pixmap(16));
        row->addStretch();
        row->addWidget(picture);
        row->addWidget(link);
        row->addStretch();
        layout->addLayout(row);
    }
    layout->addWidget(ok, 0, Qt::AlignCenter);
}

void TfrmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmAbout::FormShow()
{
    TranslateForms({this}, LanguageIni());
    m_Translation->setText(AnsiToQString(TranslatorCredit(m_Config.Language)));
}
