#pragma once
// The little badge in front of the title line: plays its frames once, one every `step`, and
// stays on the last. Each new frame grows out of nothing and fades in while the one before
// shrinks and fades away (a quarter of a second, easing in and out). With one frame it never
// changes; hidden, it stops where it is.

#include <QStringList>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

#include <chrono>

class OwlBadgeView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int index READ index NOTIFY indexChanged)

public:
    static QStringList titleFrames();
    static constexpr std::chrono::milliseconds titleStep{450};
    static constexpr std::chrono::milliseconds transition{250};

    OwlBadgeView(QStringList frames, std::chrono::milliseconds step, QWidget *parent = nullptr);

    int index() const { return m_index; }
    // The frame shown; empty when there are no frames.
    QString text() const { return m_frames.value(m_index); }
    // How far the change to the current frame has come, 0 to 1 (1 once it is over).
    double progress() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void indexChanged(int index);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void advance();
    void paintFrame(QPainter &painter, const QString &frame, double amount);

    QStringList m_frames;
    QTimer m_timer;
    QVariantAnimation m_change;
    int m_index = 0;
};
