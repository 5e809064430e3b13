#pragma once
// The little badge in front of the title line: plays its frames once, one every `step`, and
// stays on the last. With one frame it never changes.

#include <QLabel>
#include <QStringList>
#include <QTimer>

#include <chrono>

class OwlBadgeView : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(int index READ index NOTIFY indexChanged)

public:
    static QStringList titleFrames();
    static constexpr std::chrono::milliseconds titleStep{450};

    OwlBadgeView(QStringList frames, std::chrono::milliseconds step, QWidget *parent = nullptr);

    int index() const { return m_index; }

Q_SIGNALS:
    void indexChanged(int index);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void advance();

    QStringList m_frames;
    QTimer m_timer;
    int m_index = 0;
};
