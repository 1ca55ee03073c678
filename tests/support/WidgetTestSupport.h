// Helpers for the pixel and behaviour tests of the painted widgets.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QPalette>
#include <QWidget>

#include <ostream>

// The button face colour every test runs with (the classic XP face).
inline QColor PinnedFace()
{
  return QColor(236, 233, 216);
}

inline QPalette PinnedPalette()
{
  QPalette P;
  P.setColor(QPalette::Window, PinnedFace());
  P.setColor(QPalette::WindowText, Qt::black);
  P.setColor(QPalette::Base, Qt::white);
  P.setColor(QPalette::Text, Qt::black);
  P.setColor(QPalette::Button, PinnedFace());
  P.setColor(QPalette::ButtonText, Qt::black);
  return P;
}

struct RGB {
  int R, G, B;
  bool operator==(const RGB &O) const { return R == O.R && G == O.G && B == O.B; }
  bool operator!=(const RGB &O) const { return !(*this == O); }
};

inline void PrintTo(const RGB &C, std::ostream *Out)
{
  *Out << "(" << C.R << ", " << C.G << ", " << C.B << ")";
}

inline RGB ToRGB(const QColor &C)
{
  return RGB{C.red(), C.green(), C.blue()};
}

inline RGB PixelAt(const QImage &Img, int X, int Y)
{
  return ToRGB(QColor(Img.pixel(X, Y)));
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
  explicit PaintCounter(QWidget *W) { W->installEventFilter(this); }
  int Count = 0;

protected:
  bool eventFilter(QObject *, QEvent *E) override
  {
    if (E->type() == QEvent::Paint)
      ++Count;
    return false;
  }
};
