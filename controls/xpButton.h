// TxpButton: the program's push button, drawn entirely by itself (rounded
// grey body, dark blue frame, gradient face, orange ring under the mouse).
#pragma once

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class TxpButton : public QWidget {
  Q_OBJECT
public:
  explicit TxpButton(QWidget *parent = nullptr);
  ~TxpButton() override;

  QString Caption() const;
  void SetCaption(const QString &Value);   // same text: nothing; else redraws at once
  QFont &Font();
  void SetFont(const QFont &Value);        // copies every attribute, redraws at once

  int ModalResult = 0;
  bool Cancel = false;    // Escape on the window clicks the button
  bool Default = false;   // Enter on the window clicks the button
  std::function<void(QObject *Sender)> OnClick, OnEnter, OnExit;
  // Kept for the windows that set them; the button never calls them.
  std::function<void(QObject *Sender, int &Key, Qt::KeyboardModifiers Shift)> OnKeyDown, OnKeyUp;

  // OnClick, then the window's result when ModalResult != 0 and the window is a QDialog.
  void Click();

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

  QString FCaption = QStringLiteral("XP Button");
  bool FMouseOver = false;
  bool FPressed = false;
  QFont FFont;
  bool FHasFocus = false;
  bool FEntered = false;          // the window's focus widget is this button
  int FShortcutId = 0;
  QPointer<QWidget> FHookedWindow;
};
