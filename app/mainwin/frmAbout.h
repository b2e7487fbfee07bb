#pragma once
// TfrmAbout: the program's name and version, the translator's credit from
// the language file, and links to the web site and the support address.
// Not modal; OK closes it.
//
// GetFileInfo is the one reader of the program's version information:
// "ProductName" and "FileVersion" come from the build (the project's name
// and version); any other key is empty.

#include <QDialog>

#include <string>
#include <string_view>

class QLabel;
class TAppConfig;

class TfrmAbout final : public QDialog {
public:
    explicit TfrmAbout(const TAppConfig& config, QWidget* parent = nullptr);

    static std::string GetFileInfo(std::string_view key);
    // "<Language> language translated by <Autor>", or empty when the
    // language file names no translator.
    static std::string TranslatorCredit(const std::string& language);

    QLabel& nol_lblAboutInfo() const { return *m_Info; }
    QLabel& nol_lbltTranslation() const { return *m_Translation; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    const TAppConfig& m_Config;
    QLabel* m_Info = nullptr;
    QLabel* m_Translation = nullptr;
};
