// TxpCheckBox: the wizard's check box, drawn entirely by itself (gradient
// box with a dark blue outline, thick green check mark, caption beside it).
#pragma once

#include "XPGraphUtil.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

enum TCheckBoxAlignment : quint8 { cbaLeft, cbaRight };

class TxpCheckBox : public QWidget {
  Q_OBJECT
public:
  explicit TxpCheckBox(QWidget *parent = nullptr);
  ~TxpCheckBox() override;

  QString Caption() const;
  void SetCaption(const QString &Value);   // same text: nothing; else redraws at once
  QFont &Font();
  void SetFont(const QFont &Value);        // copies every attribute, redraws at once
  bool Checked() const;
  void SetChecked(bool Value);             // redraws at once; raises no OnClick
  TCheckBoxAlignment Alignment() const;
  void SetAlignment(TCheckBoxAlignment Value);
  TColor Color() const;
  void SetColor(TColor Value);             // requests a redraw

  std::function<void(QObject *Sender)> OnClick, OnEnter, OnExit;

  // Inverts Checked, requests a redraw, then OnClick (which reads the new value).
  void Toggle();

  bool MouseOver() const;
  bool Pressed() const;
  bool HasFocus() const;

  // The control's picture exactly as paintEvent puts it on screen.
  QImage Render() const;

  QSize sizeHint() const override;

protected:
  bool event(QEvent *e) override;
  bool eventFilter(QObject *watched, QEvent *e) override;
  void paintEvent(QPaintEvent *e) override;
  void enterEvent(QEnterEvent *e) override;
  void leaveEvent(QEvent *e) override;
  void mousePressEvent(QMouseEvent *e) override;
  void mouseReleaseEvent(QMouseEvent *e) override;
  void mouseDoubleClickEvent(QMouseEvent *e) override;
  void mouseMoveEvent(QMouseEvent *e) override;
  void keyPressEvent(QKeyEvent *e) override;
  void keyReleaseEvent(QKeyEvent *e) override;
  void focusInEvent(QFocusEvent *e) override;
  void focusOutEvent(QFocusEvent *e) override;
  void changeEvent(QEvent *e) override;

private:
  void SetMouseOver(bool Value);
  void Accelerator();
  void HookWindow();
  void UpdateShortcut();

  QString FCaption = QStringLiteral("XP Checkbox");
  bool FMouseOver = false;
  bool FChecked = false;
  bool FPressed = false;
  QFont FFont;
  bool FHasFocus = false;
  TCheckBoxAlignment FAlignment = cbaRight;
  TColor FColor = clBtnFace;
  bool FEntered = false;          // the window's focus widget is this check box
  int FShortcutId = 0;
  QPointer<QWidget> FHookedWindow;
};
