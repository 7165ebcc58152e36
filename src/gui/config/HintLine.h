#pragma once

#include <QLabel>

// The hint line under the tool row: the catalogue's explanation first, and
// what applies at start-up after it while the line has room for both; what
// does not fit is read whole in the tooltip.
class HintLine : public QLabel
{
    Q_OBJECT

public:
    explicit HintLine(QWidget *parent = nullptr);

    // startup: the start-up sentence, or empty.
    void setHint(const QString &caption, const QString &startup = {});
    // The height that shows a line of this font whole, descenders and underscores included.
    int lineHeight() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fit();

    QString m_caption;
    QString m_startup;
};
