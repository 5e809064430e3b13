#pragma once
// What a file list shows in place of rows: a spinner while a folder loads for the first time, or
// a symbol with a title and an optional description (a folder that can't be opened, an empty
// folder, a filter without matches). It sits centred over the list and lets clicks through.

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

class ListOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit ListOverlay(QWidget *parent = nullptr);

    void showSpinner();
    // An empty icon name shows the text alone.
    void showMessage(const QString &iconName, const QString &title, const QString &description = {});
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centre();

    QLabel *m_symbol;
    QLabel *m_title;
    QLabel *m_description;
    QProgressBar *m_spinner;
};
