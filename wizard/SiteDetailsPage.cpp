#include "SiteDetailsPage.h"

#include "PictureListPage.h"
#include "base/ErrorReport.h"
#include "base/StdCtrls.h"
#include "base/WizardForms.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "site/SiteSettings.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

TForm3::TForm3() : TForm(QStringLiteral("Settings 2"), 480, 296, bsSingle)
{
    Label1 =
        new TLabel(this, 16, 16, QStringLiteral("Site Name (Used for titles and Search Engines):"));
    Edit1 = NewEdit(this, 256, 16, 201, QString::fromLatin1(pixelnook::kDefaultSiteName));
    Label2 = new TLabel(
        this, 16, 48, 194, 26,
        QStringLiteral("Site Description (Used by search engines and also shows on the first "
                       "page of site):"),
        true);
    Memo1 = new QPlainTextEdit(QString::fromLatin1(pixelnook::kDefaultSiteDescription), this);
    Memo1->setGeometry(224, 48, 233, 57);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setTabChangesFocus(true);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Label3 = new TLabel(this, 16, 120, QStringLiteral("Site Keywords (Used by search engines)::"));
    Edit2 = NewEdit(this, 224, 120, 233, QString::fromLatin1(pixelnook::kDefaultSiteKeywords));
    Bevel1 = new TBevel(this, 8, 152, 457, 2, TBevel::bsTopLine);
    Label4 = new TLabel(
        this, 16, 160,
        QStringLiteral("What is the prefex you want to give the thumbnails? (prefix + oldname)"));
    Edit3 = NewEdit(this, 376, 160, 81, QString::fromLatin1(pixelnook::kDefaultThumbnailPrefix));
    Label5 = new TLabel(this, 16, 192, QStringLiteral("What size do you want for the thumbnails?"));
    Edit4 = NewEdit(this, 376, 192, 81, QString::fromLatin1(pixelnook::kDefaultThumbnailSize));
    Bevel2 = new TBevel(this, 16, 224, 457, 2, TBevel::bsTopLine);

    // In the free band left of the buttons: off after "Start Site".
    xpCheckBox1 = new TxpCheckBox(this);
    xpCheckBox1->setGeometry(16, 268, 249, 17);
    xpCheckBox1->SetCaption(QStringLiteral("Ready for the web: smaller, no location"));
    xpCheckBox1->setToolTip(
        QStringLiteral("Copies of the pictures made for the web: upright, at most 2048 "
                       "pixels on their longest side, without the place they were "
                       "taken, the camera's serial numbers or the owner's name"));

    xpButton2 = NewButton(this, 272, 263, 89, QStringLiteral("Go Back"));
    xpButton2->OnClick = Guarded([this] { xpButton2Click(); });

    xpButton1 = NewButton(this, 376, 264, 89, QStringLiteral("Continue"));
    xpButton1->OnClick = Guarded([this] { xpButton1Click(); });

    setTabOrder(Edit1, Memo1);
    setTabOrder(Memo1, Edit2);
    setTabOrder(Edit2, xpButton1);
    setTabOrder(xpButton1, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, xpCheckBox1);
    setTabOrder(xpCheckBox1, xpButton2);
}

std::string TForm3::SiteDescription() const
{
    // The pages get CR LF between lines; wrapping on screen adds nothing.
    // The raw text keeps what was typed (no-break spaces included), with a
    // separator for each line break.
    QString text = Memo1->document()->toRawText();
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    text.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    return pixelnook::ToCrLf(text.toStdString());
}

// "Continue": any empty box gets its default back, in this order; nothing
// is ever refused here.
void TForm3::xpButton1Click()
{
    FillIfEmpty(Edit1, pixelnook::kDefaultSiteName);
    FillIfEmpty(Edit2, pixelnook::kDefaultSiteKeywords);
    FillIfEmpty(Edit3, pixelnook::kDefaultThumbnailPrefix);
    FillIfEmpty(Edit4, pixelnook::kDefaultThumbnailSize);
    FillIfEmpty(Memo1, pixelnook::kDefaultSiteDescription);
    Forms.Form4->Show();
    hide();
}

void TForm3::xpButton2Click()
{
    close();
}
