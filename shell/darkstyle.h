#pragma once

#include <QProxyStyle>

// The program's one look: Fusion with a dark palette, a font one point larger than the form was
// laid out for and the style sheet
// from the resources.
class DarkStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // The interface font size the form was laid out for; the style applies one point more.
    static constexpr int DesignPointSize = 8;

    DarkStyle();
    explicit DarkStyle(QStyle* style);
    ~DarkStyle() override;

    // The shared Fusion style; the first caller may hand in another one, which is then kept.
    QStyle* baseStyle() const;

    void polish(QPalette& palette) override;
    void polish(QApplication* app) override;
    using QProxyStyle::polish;

private:
    static QStyle* styleBase(QStyle* style = nullptr);
    bool m_polishing = false;
};
