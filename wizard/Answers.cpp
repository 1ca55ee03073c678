#include "Answers.h"

#include "FolderSettingsPage.h"
#include "PictureListPage.h"
#include "SiteDetailsPage.h"
#include "SiteFolderChooser.h"
#include "TemplatePage.h"
#include "base/StdCtrls.h"
#include "base/WizardForms.h"
#include "controls/xpCheckBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

void WriteStartAnswers(const pixelnook::SiteSettings &Settings,
                       const pixelnook::TemplateChoice &Choice)
{
    Forms.Form5->TemplateSelected = Choice.TemplateSelected;
    Forms.Form5->TemplatePath = Choice.TemplatePath;
    Forms.Form4->ListView1->clear();
    Forms.Form2->Label7->SetCaption(QStringLiteral("Folder:"));
    Forms.Form2->Edit1->setText(QString::fromStdString(Settings.ImagesFolderName));
    Forms.Form2->Edit2->setText(QString::fromStdString(Settings.ThumbnailsFolderName));
    Forms.Form2->Edit3->setText(QString::fromStdString(Settings.ImagePagesFolderName));
    Forms.Form3->Edit1->setText(QString::fromStdString(Settings.SiteName));
    Forms.Form3->Edit2->setText(QString::fromStdString(Settings.SiteKeywords));
    Forms.Form3->Edit3->setText(QString::fromStdString(Settings.ThumbnailPrefix));
    Forms.Form3->Edit4->setText(QString::fromStdString(Settings.ThumbnailSize));
    Forms.Form3->Memo1->setPlainText(QString::fromStdString(Settings.SiteDescription));
    Forms.Form3->xpCheckBox1->SetChecked(Settings.WebReady);
    Forms.Form5->Edit1->setText(QString::fromStdString(Choice.CustomTemplatePath));
    Forms.Form8->Label4->SetCaption(QString::fromStdString(Settings.SiteFolder));
}

void ReadAnswers(pixelnook::SiteSettings &Settings, pixelnook::PictureList &Pictures,
                 pixelnook::TemplateChoice &Choice)
{
    Settings.SiteFolder = Forms.Form8->Label4->Caption().toStdString();
    Settings.ImagesFolderName = Forms.Form2->Edit1->text().toStdString();
    Settings.ThumbnailsFolderName = Forms.Form2->Edit2->text().toStdString();
    Settings.MakeImagePages = Forms.Form2->xpCheckBox1->Checked();
    Settings.ImagePagesFolderName = Forms.Form2->Edit3->text().toStdString();
    Settings.SiteName = Forms.Form3->Edit1->text().toStdString();
    Settings.SiteDescription = Forms.Form3->SiteDescription();
    Settings.SiteKeywords = Forms.Form3->Edit2->text().toStdString();
    Settings.ThumbnailPrefix = Forms.Form3->Edit3->text().toStdString();
    Settings.ThumbnailSize = Forms.Form3->Edit4->text().toStdString();
    Settings.WebReady = Forms.Form3->xpCheckBox1->Checked();
    Pictures = Forms.Form4->Pictures();

    Choice.TemplatePath = Forms.Form5->TemplatePath;
    Choice.TemplateSelected = Forms.Form5->TemplateSelected;
    Choice.UseCustomTemplate = Forms.Form5->xpCheckBox1->Checked();
    Choice.CustomTemplatePath = Forms.Form5->Edit1->text().toStdString();
}
