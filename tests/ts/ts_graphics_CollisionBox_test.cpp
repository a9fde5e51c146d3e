// Collision boxes: points, rectangles and circles, lists of boxes, the
// scratch arrays and the text form.
#include <climits>

#include "sprites_test_support.h"
#include "ts_graphics_Rect.h"

using namespace spritetest;
using ts::graphics::CollisionBox;

namespace {

class CollisionBoxTest : public VMTest {};

VMPtr<CollisionBox> rect(jint x, jint y, jint w, jint h) {
    return CollisionBox::create()->construct(x, y, w, h, CollisionBox::RECTANGLE);
}
VMPtr<CollisionBox> circle(jint x, jint y, jint w) {
    return CollisionBox::create()->construct(x, y, w, w, CollisionBox::CIRCLE);
}

}  // namespace

TEST_F(CollisionBoxTest, PointsAreInsideRectanglesAndStrictlyInsideCircles) {
    struct Case {
        VMPtr<CollisionBox> box;
        jint x, y;
        bool inside;
    };
    const Case cases[] = {
        {rect(0, 0, 10, 10), 9, 9, true},
        {rect(0, 0, 10, 10), 10, 10, false},
        {rect(0, 0, 10, 10), 0, 0, true},
        {rect(0, 0, 0, 10), 0, 0, false},
        {circle(0, 0, 10), 5, 1, true},
        {circle(0, 0, 10), 5, 0, false},
        {circle(0, 0, 10), 0, 0, false},
        {circle(0, 0, 10), 5, 5, true},
        {circle(INT_MAX - 10, INT_MAX - 10, 10), INT_MIN, INT_MIN, false},  // squares in 64 bits and more
    };
    for (const Case& c : cases) EXPECT_EQ(c.box->contains(c.x, c.y), c.inside) << text(c.box->toString());
    EXPECT_TRUE(rect(0, 0, 10, 10)->containsRect(0, 0, 10, 10));
    EXPECT_FALSE(rect(0, 0, 10, 10)->containsRect(1, 0, 10, 10));
    EXPECT_FALSE(rect(0, 0, 10, 10)->containsRect(2, 2, 0, 3));
    EXPECT_TRUE(circle(0, 0, 10)->containsBox(rect(0, 0, 10, 10)));  // the shape plays no part
}

TEST_F(CollisionBoxTest, BoxesCollideByShape) {
    struct Case {
        VMPtr<CollisionBox> a, b;
        bool hit;
    };
    const Case cases[] = {
        {circle(0, 0, 10), circle(10, 0, 10), true},  // centre distance 10 = 5 + 5: touching collides
        {circle(0, 0, 10), circle(11, 0, 10), false},
        {circle(0, 0, 10), circle(7, 7, 10), true},  // 7 * 7 * 2 = 98 <= 100
        {circle(0, 0, 10), circle(8, 8, 10), false},
        {circle(0, 0, 10), rect(9, 9, 5, 5), false},  // beyond the corner: 4 * 4 + 4 * 4 > 25
        {circle(0, 0, 10), rect(8, 8, 5, 5), true},
        {circle(0, 0, 10), rect(10, 2, 5, 5), true},       // beside an edge, within the radius
        {rect(0, 0, 10, 10), rect(10, 0, 10, 10), false},  // touching rectangles never do
        {rect(0, 0, 10, 10), rect(9, 9, 10, 10), true},
        {rect(0, 0, 10, 10), rect(5, 5, 0, 0), false},
        // Far apart: nothing wraps around.
        {circle(INT_MIN, INT_MIN, 0x7FFFFFFE), circle(INT_MAX - 1, INT_MAX - 1, 0x7FFFFFFE), false},
        {circle(-2000000000, 0, 2000000000), circle(2000000000, 0, 2000000000), false},
        {circle(-2000000000, 0, 2000000000), rect(2000000000, 0, 2000000000, 10), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a->collidesWithBox(c.b), c.hit) << text(c.a->toString()) << " / " << text(c.b->toString());
        EXPECT_EQ(c.b->collidesWithBox(c.a), c.hit) << text(c.b->toString()) << " / " << text(c.a->toString());
    }
    EXPECT_TRUE(circle(0, 0, 10)->intersectsRect(8, 8, 5, 5));
    EXPECT_FALSE(circle(0, 0, 10)->intersectsRect(9, 9, 5, 5));
    EXPECT_FALSE(rect(0, 0, 10, 10)->intersectsRect(10, 0, 5, 5));
}

TEST_F(CollisionBoxTest, ListsCollideAtTheFirstPairAndKeepIt) {
    VMPtr<Boxes> a = CollisionBox::ensureCapacity(nullptr, 1);
    ASSERT_EQ(a->length, 4);
    for (jint i = 0; i < 4; ++i) ASSERT_EQ(a->get(i)->getType(), CollisionBox::RECTANGLE);
    EXPECT_EQ(CollisionBox::ensureCapacity(a, 3).get(), a.get());
    VMPtr<Boxes> b = CollisionBox::ensureCapacity(nullptr, 5);
    EXPECT_EQ(b->length, 5);
    a->get(0)->setBounds(0, 0, 5, 5);
    a->get(1)->setBounds(100, 0, 5, 5);
    b->get(0)->setBounds(102, 2, 5, 5);
    b->get(1)->setBounds(200, 0, 5, 5);
    EXPECT_TRUE(CollisionBox::collides(2, a, 2, b));
    EXPECT_EQ(CollisionBox::firstHit.get(), a->get(1));
    EXPECT_EQ(CollisionBox::secondHit.get(), b->get(0));
    EXPECT_FALSE(CollisionBox::collides(1, a, 2, b));
    EXPECT_EQ(CollisionBox::firstHit.get(), nullptr);
    EXPECT_EQ(CollisionBox::secondHit.get(), nullptr);
}

TEST_F(CollisionBoxTest, IntersectionsFiltersAndText) {
    VMPtr<CollisionBox> box = CollisionBox::create()->construct();
    box->setToIntersection(rect(0, 0, 10, 10), rect(20, 5, 10, 10));
    EXPECT_EQ(box->width, -10);
    EXPECT_TRUE(box->isEmpty());
    box->setToUnion(rect(5, -3, 10, 10), rect(0, 5, 10, 12));
    EXPECT_EQ(text(box->toString()), "x,y:0,-3, WxH:15,20");
    VMPtr<CollisionBox> source = circle(1, 2, 8);
    source->id = 2;
    VMPtr<Boxes> out = CollisionBox::ensureCapacity(nullptr, 1);
    EXPECT_EQ(source->getCollisionBoxes(0, out, 5), 0);
    EXPECT_EQ(source->getCollisionBoxes(3, out, 2), 1);
    EXPECT_EQ(out->get(0)->shape, CollisionBox::CIRCLE);
}
