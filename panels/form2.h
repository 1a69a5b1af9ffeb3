#pragma once

#include <QTimer>
#include <QWidget>

class ClickLabel;
class QFrame;

// The detail panel: a borderless strip under the bar with a heading and a body on a light
// cyan card. Its content, size and place are set by the bar; a click on the body hides it.
// Geometry is kept in twips so that the bar's arithmetic never sees rounded pixels.
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    float widthTwips() const { return m_widthTwips; }
    float heightTwips() const { return m_heightTwips; }
    void setWidthTwips(float width);
    void setHeightTwips(float height);
    void moveTwips(float left, float top);
    float topTwips() const { return m_topTwips; }
    float leftTwips() const { return m_leftTwips; }

    void setCardWidthTwips(float width);
    void setCardHeightTwips(float height);
    // Centres the heading once, for the caption it has now.
    void centreHeading();
    // Places the body at `left` with `width`; returns the height its text takes there.
    float fitBody(float left, float width);

    // Heading and body texts, the pointer over the body.
    void setHeading(const QString& text, const QString& toolTip);
    void setBody(const QString& text);
    QString heading() const;
    QString body() const;
    void setBodyWaiting(bool waiting);

    void Label7_Click();
    void Label8_Click();
    void Timer1_Timer();

    ClickLabel* Label7; // body
    ClickLabel* Label8; // heading
    QFrame* Shape2;     // card
    QTimer* Timer1;     // deletes the chart page a second after it was written

Q_SIGNALS:
    // The heading was clicked: the bar decides where it leads.
    void headingClicked();

private:
    float m_leftTwips = 0.f;
    float m_topTwips = 0.f;
    float m_widthTwips = 13080.f;
    float m_heightTwips = 1395.f;
};
