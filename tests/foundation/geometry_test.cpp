#include "foundation/geometry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

TEST(Geometry, ContentBottomAndRight)
{
    QWidget card;
    EXPECT_EQ(ContentBottom(&card), 0);
    EXPECT_EQ(ContentRight(&card), 0);
    auto* edit = new QLineEdit(&card);
    edit->setGeometry(10, 20, 100, 25);
    auto* label = new QLabel(&card); // built on QFrame, yet a control
    label->setGeometry(5, 60, 200, 15);
    auto* panel = new QFrame(&card);
    panel->setGeometry(0, 100, 500, 50);
    auto* tagged = new QWidget(&card);
    tagged->setProperty("panel", true);
    tagged->setGeometry(0, 0, 700, 10);
    auto* hidden = new QLineEdit(&card);
    hidden->setGeometry(0, 0, 50, 170);
    hidden->hide();
    auto* window = new QDialog(&card); // a window of its own, not a control
    window->setGeometry(0, 0, 900, 900);
    EXPECT_EQ(ContentBottom(&card), 170);
    EXPECT_EQ(ContentRight(&card), 205);
    EXPECT_TRUE(IsPanel(panel));
    EXPECT_TRUE(IsPanel(tagged));
    EXPECT_FALSE(IsPanel(label));
    EXPECT_EQ(ContentBottom(nullptr), 0);
}

TEST(Geometry, FirstVisibleControlIsTopMostThenLeftMost)
{
    QWidget card;
    EXPECT_EQ(FirstVisibleControl(&card), nullptr);
    auto* label = new QLabel(QStringLiteral("Naam"), &card);
    label->setGeometry(0, 0, 50, 20);
    auto* hidden = new QLineEdit(&card);
    hidden->setGeometry(0, 5, 50, 20);
    hidden->hide();
    auto* right = new QLineEdit(&card);
    right->setGeometry(100, 30, 50, 20);
    auto* left = new QLineEdit(&card);
    left->setGeometry(60, 30, 50, 20);
    auto* lower = new QLineEdit(&card);
    lower->setGeometry(0, 31, 50, 20);
    EXPECT_EQ(FirstVisibleControl(&card), left);
    auto* panel = new QFrame(&card);
    panel->setGeometry(200, 10, 50, 20);
    EXPECT_EQ(FirstVisibleControl(&card), panel);
    EXPECT_EQ(FirstVisibleControl(nullptr), nullptr);
}

TEST(Geometry, PointInRectIncludesEveryEdge)
{
    const QRect r(10, 20, 30, 40);
    struct Case {
        QPoint p;
        bool inside;
    };
    const Case cases[] = {
        {{10, 20}, true}, {{40, 60}, true}, {{40, 20}, true}, {{10, 60}, true}, {{25, 30}, true},
        {{9, 20}, false}, {{41, 30}, false}, {{20, 19}, false}, {{20, 61}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PointInRect(c.p, r), c.inside) << c.p.x() << "," << c.p.y();
}

TEST(Geometry, NoKeyIsDownOffscreen)
{
    EXPECT_FALSE(IsKeyDown(Qt::ShiftModifier));
    EXPECT_FALSE(IsKeyDown(Qt::ControlModifier));
}

namespace {

// Acts on the colour dialog once it is shown.
void WithColorDialog(std::function<void(QColorDialog*)> action)
{
    QTimer::singleShot(0, [action]() {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(dialog);
    });
}

} // namespace

TEST(Geometry, PickColorReturnsChoiceOrTheColourGiven)
{
    QList<QColor> custom = {QColor(Qt::blue)};
    WithColorDialog([](QColorDialog* dialog) {
        EXPECT_EQ(dialog->currentColor(), QColor(Qt::yellow));
        EXPECT_EQ(QColorDialog::customColor(0), QColor(Qt::blue));
        QColorDialog::setCustomColor(1, Qt::green);
        dialog->setCurrentColor(Qt::red);
        dialog->accept();
    });
    EXPECT_EQ(PickColor(Qt::yellow, &custom), QColor(Qt::red));
    ASSERT_GE(custom.size(), 2);
    EXPECT_EQ(custom.at(0), QColor(Qt::blue));
    EXPECT_EQ(custom.at(1), QColor(Qt::green));

    WithColorDialog([](QColorDialog* dialog) {
        dialog->setCurrentColor(Qt::red);
        dialog->reject();
    });
    EXPECT_EQ(PickColor(Qt::yellow), QColor(Qt::yellow));
}
