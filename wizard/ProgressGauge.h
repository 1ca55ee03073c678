// ProgressGauge: the progress window's bar with the percentage written in
// its middle; passive, it never takes input.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

class ProgressGauge : public QWidget {
    Q_OBJECT
public:
    explicit ProgressGauge(QWidget *parent = nullptr);

    int MinValue() const;
    int MaxValue() const;
    void SetMinValue(int Value);
    void SetMaxValue(int Value);
    int Progress() const;
    // Clamped into the range; the same value does nothing; repaints at once
    // only when the whole percent shown changes.
    void SetProgress(int Value);
    int PercentDone() const;

    // The gauge's picture exactly as paintEvent puts it on screen, for Ratio
    // device pixels per pixel (same geometry, text at the screen's resolution).
    QImage Render(qreal Ratio = 1.0) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    int FMinValue = 0;
    int FMaxValue = 100;
    int FCurValue = 0;
    QColor FForeColor = Qt::black;
    QColor FBackColor = Qt::white;
    bool FBorder = true; // single 1-pixel frame
    bool FShowText = true;
    QFont FFont;
};
