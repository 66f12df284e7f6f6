// The diagram's items. Every selectable item carries the kind and number of the object it
// shows (a condition's text carries its transition), so selection, editing and the checks
// panel speak of objects, never of items. Movable items (states, the reset object) stand
// at their object's position and remember it, so that the end of a drag can be told as
// the moves of objects, snapped to the grid.
#include "diagram/DiagramScene.h"

#include "GuiText.h"
#include "fsm/AsfDecorations.h"
#include "fsm/AsfModel.h"

#include <QGraphicsLineItem>
#include <QGraphicsSceneContextMenuEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QStringList>
#include <QStyleOptionGraphicsItem>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace kestrel {

namespace {

constexpr int kKindKey = 0;
constexpr int kNumberKey = 1;
constexpr int kOriginXKey = 2;
constexpr int kOriginYKey = 3;
constexpr int kRadiusXKey = 4;
constexpr int kRadiusYKey = 5;
constexpr int kInitialKey = 6;

constexpr double kPageWidth = 215900;
constexpr double kPageHeight = 279400;
constexpr double kDefaultRadius = 6000;
constexpr double kResetHalf = 9; // pixels

const QColor kStateFill(0xd8, 0xf5, 0xd0);
const QColor kStateLine(0x2e, 0x6b, 0x2e);
const QColor kSelected(0x1e, 0x6f, 0xd9);
const QColor kInitialMark(0xf0, 0x8c, 0x28);
const QColor kCondition(0xa0, 0x00, 0xa0);
const QColor kActionFill(0xff, 0xfb, 0xe6);
const QColor kPortFill(0xc8, 0xf4, 0xf4);

double Px(double units) {
    return units / DiagramScene::kUnitsPerPixel;
}

void Tag(QGraphicsItem* item, DiagramObjectKind kind, ObjectNumber number, bool selectable) {
    item->setData(kKindKey, static_cast<int>(kind));
    item->setData(kNumberKey, static_cast<qlonglong>(number));
    if (selectable) item->setFlag(QGraphicsItem::ItemIsSelectable);
}

QPen Outline(const QGraphicsItem* item, const QColor& colour, double width) {
    return QPen(item->isSelected() ? kSelected : colour, item->isSelected() ? width + 1.5 : width);
}

QFont SceneFont(double points, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A state: an ellipse with its name. The initial state (the one the reset transition
// enters) has a thick outline and an orange marker like the reset object's; the default
// state (where a state goes when none of its conditions holds) a dashed ring outside; a
// trap state a second ring inside.
class StateItem final : public QGraphicsItem {
public:
    StateItem(QString name, AsfStateKind kind, bool initial, double rx, double ry)
        : name_(std::move(name)), kind_(kind), initial_(initial), rx_(rx), ry_(ry) {
        setFlag(ItemIsMovable);
        setFlag(ItemSendsGeometryChanges);
        setData(kRadiusXKey, rx);
        setData(kRadiusYKey, ry);
        setData(kInitialKey, initial);
        setZValue(2);
        QStringList roles;
        if (initial) roles << QStringLiteral("Initial state: the reset transition enters it");
        if (kind == AsfStateKind::Default)
            roles << QStringLiteral("Default state: a state goes here when none of its "
                                    "transition conditions holds");
        if (kind == AsfStateKind::Trap)
            roles << QStringLiteral("Trap (end) state: entering it ends the function");
        setToolTip(roles.isEmpty() ? name_ : name_ + QStringLiteral("\n") + roles.join('\n'));
    }
    QRectF boundingRect() const override {
        return QRectF(-rx_ - 8, -ry_ - 8, 2 * rx_ + 16, 2 * ry_ + 16);
    }
    QPainterPath shape() const override {
        QPainterPath path;
        path.addEllipse(QPointF(), rx_, ry_);
        return path;
    }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        painter->setRenderHint(QPainter::Antialiasing);
        if (kind_ == AsfStateKind::Default) {
            QPen dashed(kStateLine, 1.2, Qt::DashLine);
            painter->setPen(dashed);
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(QPointF(), rx_ + 5, ry_ + 5);
        }
        painter->setPen(Outline(this, kStateLine, initial_ ? 3.0 : 1.5));
        painter->setBrush(kStateFill);
        painter->drawEllipse(QPointF(), rx_, ry_);
        if (kind_ == AsfStateKind::Trap) {
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(QPointF(), rx_ - 5, ry_ - 5);
        }
        if (initial_) {
            painter->setPen(QPen(kStateLine, 1));
            painter->setBrush(kInitialMark);
            painter->drawEllipse(QPointF(-rx_ * 0.7, -ry_ * 0.7), 6, 6);
        }
        painter->setPen(Qt::black);
        painter->setFont(SceneFont(8.5, true));
        painter->drawText(QRectF(-rx_ - 30, -ry_, 2 * rx_ + 60, 2 * ry_), Qt::AlignCenter, name_);
    }
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override {
        if (change == ItemPositionHasChanged && scene())
            static_cast<DiagramScene*>(scene())->Follow(this);
        return QGraphicsItem::itemChange(change, value);
    }

private:
    QString name_;
    AsfStateKind kind_;
    bool initial_;
    double rx_, ry_;
};

// The reset object: a small dark square with a short bar, the start of its transitions.
class ResetItem final : public QGraphicsItem {
public:
    ResetItem() {
        setFlag(ItemIsMovable);
        setFlag(ItemSendsGeometryChanges);
        setData(kRadiusXKey, kResetHalf);
        setData(kRadiusYKey, kResetHalf);
        setZValue(2);
        setToolTip(QStringLiteral("Reset"));
    }
    QRectF boundingRect() const override {
        return QRectF(-kResetHalf - 3, -kResetHalf - 3, 2 * kResetHalf + 6, 2 * kResetHalf + 6);
    }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Outline(this, Qt::black, 1.5));
        painter->setBrush(kInitialMark);
        painter->drawRoundedRect(QRectF(-kResetHalf, -kResetHalf, 2 * kResetHalf, 2 * kResetHalf),
                                 3, 3);
        painter->setPen(QPen(Qt::black, 1));
        painter->setFont(SceneFont(6.5, true));
        painter->drawText(boundingRect(), Qt::AlignCenter, QStringLiteral("R"));
    }
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override {
        if (change == ItemPositionHasChanged && scene())
            static_cast<DiagramScene*>(scene())->Follow(this);
        return QGraphicsItem::itemChange(change, value);
    }
};

// A transition: its path, drawn with an arrow head at the target and its priority in a
// small circle near the start, and easy to hit.
class TransitionItem final : public QGraphicsPathItem {
public:
    explicit TransitionItem(ObjectNumber priority) : priority_(QString::number(priority)) {
        setZValue(1);
    }
    QRectF boundingRect() const override { return shape().boundingRect().adjusted(-9, -9, 9, 9); }
    QPainterPath shape() const override {
        QPainterPathStroker stroker;
        stroker.setWidth(9);
        return stroker.createStroke(path());
    }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        painter->setRenderHint(QPainter::Antialiasing);
        const QPen pen = Outline(this, QColor(0x30, 0x30, 0x30), 1.3);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(path());
        const QPointF tip = path().pointAtPercent(1.0);
        const QPointF back = path().pointAtPercent(0.96);
        const double angle = std::atan2(tip.y() - back.y(), tip.x() - back.x());
        constexpr double kHead = 10, kSpread = 0.42;
        const QPointF a =
            tip - QPointF(std::cos(angle - kSpread), std::sin(angle - kSpread)) * kHead;
        const QPointF b =
            tip - QPointF(std::cos(angle + kSpread), std::sin(angle + kSpread)) * kHead;
        painter->setBrush(pen.color());
        painter->drawPolygon(QPolygonF({tip, a, b}));

        const QRectF badge(path().pointAtPercent(0.18) - QPointF(7, 7), QSizeF(14, 14));
        painter->setPen(QPen(pen.color(), 0.8));
        painter->setBrush(Qt::white);
        painter->drawEllipse(badge);
        painter->setFont(SceneFont(6));
        painter->drawText(badge, Qt::AlignCenter, priority_);
    }

private:
    QString priority_;
};

// A text block (action, condition) with an optional pale box behind it.
class NoteItem final : public QGraphicsItem {
public:
    NoteItem(QString text, QColor colour, QColor fill, bool centred)
        : text_(std::move(text)), colour_(colour), fill_(fill) {
        setZValue(3);
        const QFontMetricsF metrics(SceneFont(8));
        const QRectF box = metrics.boundingRect(QRectF(0, 0, 2000, 2000), Qt::AlignLeft, text_);
        rect_ = QRectF(0, -box.height() / 2 - 3, box.width() + 10, box.height() + 6);
        if (centred) rect_.moveLeft(-rect_.width() / 2);
    }
    QRectF boundingRect() const override { return rect_.adjusted(-2, -2, 2, 2); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        if (fill_.isValid() || isSelected()) {
            painter->setPen(isSelected() ? QPen(kSelected, 1.5)
                                         : QPen(QColor(0xc8, 0xc0, 0x90), 1));
            painter->setBrush(fill_.isValid() ? fill_ : QColor(Qt::white));
            painter->drawRect(rect_);
        }
        painter->setPen(colour_);
        painter->setFont(SceneFont(8));
        painter->drawText(rect_.adjusted(5, 3, -5, -3), Qt::AlignLeft | Qt::AlignVCenter, text_);
    }

private:
    QString text_;
    QColor colour_, fill_;
    QRectF rect_;
};

// A port: a small arrow-shaped flag, pointing right for inputs and left for outputs.
class PortItem final : public QGraphicsItem {
public:
    explicit PortItem(bool input) : input_(input) { setZValue(2); }
    QRectF boundingRect() const override { return QRectF(-12, -8, 24, 16); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Outline(this, QColor(0x20, 0x50, 0x60), 1.2));
        painter->setBrush(kPortFill);
        const double d = input_ ? 1 : -1;
        painter->drawPolygon(
            QPolygonF({QPointF(-10 * d, -6), QPointF(4 * d, -6), QPointF(10 * d, 0),
                       QPointF(4 * d, 6), QPointF(-10 * d, 6)}));
    }

private:
    bool input_;
};

QGraphicsSimpleTextItem* Text(QGraphicsScene& scene, const QString& text, QPointF at, double points,
                              const QColor& colour) {
    auto* item = scene.addSimpleText(text, SceneFont(points));
    item->setBrush(colour);
    const QRectF r = item->boundingRect();
    item->setPos(at.x(), at.y() - r.height() / 2);
    item->setZValue(3);
    return item;
}

struct Endpoint {
    QPointF centre;
    double rx = kResetHalf, ry = kResetHalf;
};

// The point where the line from the centre towards `towards` leaves the ellipse.
QPointF Rim(const Endpoint& e, QPointF towards) {
    const QPointF d = towards - e.centre;
    const double length = std::hypot(d.x(), d.y());
    if (length < 1e-6) return e.centre;
    const double angle = std::atan2(d.y(), d.x());
    return e.centre + QPointF(e.rx * std::cos(angle), e.ry * std::sin(angle));
}

QPainterPath LoopPath(const Endpoint& e, double angle) {
    const double spread = 0.45;
    const QPointF start =
        e.centre + QPointF(e.rx * std::cos(angle - spread), e.ry * std::sin(angle - spread));
    const QPointF end =
        e.centre + QPointF(e.rx * std::cos(angle + spread), e.ry * std::sin(angle + spread));
    const double reach = std::max(e.rx, e.ry) * 2.6;
    QPainterPath path(start);
    path.cubicTo(e.centre + QPointF(reach * std::cos(angle - 0.7), reach * std::sin(angle - 0.7)),
                 e.centre + QPointF(reach * std::cos(angle + 0.7), reach * std::sin(angle + 0.7)),
                 end);
    return path;
}

// A path between two objects, bent to one side by `bend` pixels (0: straight).
QPainterPath ArcPath(const Endpoint& from, const Endpoint& to, double bend) {
    const QPointF mid = (from.centre + to.centre) / 2;
    QPointF d = to.centre - from.centre;
    const double length = std::max(1.0, std::hypot(d.x(), d.y()));
    const QPointF normal(-d.y() / length, d.x() / length);
    const QPointF control = mid + normal * bend * 2;
    QPainterPath path(Rim(from, bend == 0 ? to.centre : control));
    if (bend == 0)
        path.lineTo(Rim(to, from.centre));
    else
        path.quadTo(control, Rim(to, control));
    return path;
}

} // namespace

DiagramScene::DiagramScene(QObject* parent) : QGraphicsScene(parent) {
    page_ = QRectF(0, -Px(kPageHeight), Px(kPageWidth), Px(kPageHeight));
    setSceneRect(page_.adjusted(-40, -40, 40, 40));
}

QPointF DiagramScene::ScenePoint(AsfPoint at) {
    return QPointF(Px(static_cast<double>(at.x)), -Px(static_cast<double>(at.y)));
}

AsfPoint DiagramScene::PagePoint(QPointF at) {
    return {static_cast<ObjectNumber>(std::lround(at.x() * kUnitsPerPixel)),
            static_cast<ObjectNumber>(std::lround(-at.y() * kUnitsPerPixel))};
}

bool DiagramScene::IsInitialState(const QGraphicsItem* item) {
    return item && item->data(kInitialKey).toBool();
}

DiagramObject DiagramScene::ObjectOf(const QGraphicsItem* item) {
    if (!item || !item->data(kKindKey).isValid()) return {};
    return {static_cast<DiagramObjectKind>(item->data(kKindKey).toInt()),
            item->data(kNumberKey).toLongLong()};
}

namespace {

void ShowDrawings(QGraphicsScene& scene, const AsfDecorations& drawings) {
    for (const AsfFrame& frame : drawings.frames) {
        auto* item = scene.addRect(
            QRectF(DiagramScene::ScenePoint(frame.from), DiagramScene::ScenePoint(frame.to))
                .normalized(),
            QPen(QColor(0x70, 0x70, 0x70), 1.2));
        item->setZValue(-1);
    }
    for (const AsfTextObject& text : drawings.texts)
        Text(scene, FromCore(text.text).trimmed(), DiagramScene::ScenePoint(text.at), 8.5,
             QColor(0x10, 0x10, 0x60));
}

// The place of an object as its record holds it (the origin when it holds none).
AsfPoint Origin(const ModelShape& shape) {
    return shape.points.empty() ? AsfPoint{} : shape.points.front();
}

void ShowPorts(QGraphicsScene& scene, const std::vector<ModelPort>& ports) {
    for (const ModelPort& port : ports) {
        const QPointF at = DiagramScene::ScenePoint(Origin(port.shape));
        auto* item = new PortItem(port.input);
        item->setPos(at);
        scene.addItem(item);
        Tag(item, DiagramObjectKind::Port, port.id, true);
        const QPointF label = port.shape.label ? DiagramScene::ScenePoint(*port.shape.label)
                                               : at + QPointF(Px(6000), 0);
        Text(scene, FromCore(port.name), label, 8, Qt::black);
    }
}

// An item placed at its object's position, which it remembers for the end of a drag.
void PlaceAt(QGraphicsItem* item, AsfPoint origin) {
    item->setPos(DiagramScene::ScenePoint(origin));
    item->setData(kOriginXKey, static_cast<qlonglong>(origin.x));
    item->setData(kOriginYKey, static_cast<qlonglong>(origin.y));
}

// The diagram signals and constants, as notes at their records' places.
void ShowDeclarations(QGraphicsScene& scene, const DiagramModel& model) {
    auto declaration = [&scene](DiagramObjectKind shown, ObjectNumber id, const ModelShape& shape,
                                const QString& text) {
        auto* note = new NoteItem(text, QColor(0x00, 0x00, 0xc0), QColor(0xee, 0xf2, 0xff), false);
        note->setPos(DiagramScene::ScenePoint(Origin(shape)));
        scene.addItem(note);
        Tag(note, shown, id, true);
    };
    for (const ModelSignal& s : model.signals)
        declaration(DiagramObjectKind::Signal, s.id.value_or(0), s.shape,
                    QStringLiteral("signal %1 := %2").arg(FromCore(s.name), FromCore(s.init)));
    for (const ModelConstant& c : model.constants)
        declaration(DiagramObjectKind::Constant, c.id.value_or(0), c.shape,
                    QStringLiteral("constant %1 = %2").arg(FromCore(c.name), FromCore(c.value)));
}

} // namespace

void DiagramScene::Show(const AsfDocument& doc) {
    std::set<ObjectNumber> selected;
    for (const DiagramObject& o : SelectedObjects()) selected.insert(o.number);
    rubberLine_ = nullptr;
    connectFrom_ = nullptr;
    routes_.clear();
    endpoints_.clear();
    attached_.clear();
    clear();

    const DiagramModel model = DescribeDiagram(doc);
    ShowDrawings(*this, model.drawings);
    ShowPorts(*this, model.ports);
    ShowEndpoints(model);
    ShowTransitions(model);
    ShowActions(model);
    ShowDeclarations(*this, model);

    for (QGraphicsItem* item : items())
        if (selected.count(ObjectOf(item).number) != 0 &&
            (item->flags() & QGraphicsItem::ItemIsSelectable))
            item->setSelected(true);
}

void DiagramScene::ShowEndpoints(const DiagramModel& model) {
    for (const ModelState& state : model.states) {
        double rx = Px(kDefaultRadius), ry = Px(kDefaultRadius);
        const std::vector<AsfPoint>& points = state.shape.points;
        if (points.size() >= 2 && points[1].x > 0 && points[1].y > 0) {
            rx = Px(static_cast<double>(points[1].x));
            ry = Px(static_cast<double>(points[1].y));
        }
        auto* item =
            new StateItem(FromCore(state.name), state.kind, state.id == model.initial, rx, ry);
        PlaceAt(item, Origin(state.shape));
        addItem(item);
        Tag(item, DiagramObjectKind::State, *state.id, true);
        endpoints_[*state.id] = item;
    }
    if (model.reset && model.reset->id) {
        auto* item = new ResetItem;
        PlaceAt(item, Origin(model.reset->shape));
        addItem(item);
        Tag(item, DiagramObjectKind::Reset, *model.reset->id, true);
        endpoints_[*model.reset->id] = item;
    }
}

void DiagramScene::ShowTransitions(const DiagramModel& model) {
    // Transitions between one pair of objects are bent apart so that none hides another.
    std::map<std::pair<ObjectNumber, ObjectNumber>, int> pairCount, pairSeen;
    for (const ModelTransition& t : model.transitions)
        ++pairCount[{std::min(t.from, t.to), std::max(t.from, t.to)}];
    for (const ModelTransition& t : model.transitions) {
        if (endpoints_.count(t.from) == 0 || endpoints_.count(t.to) == 0 || !t.id) continue;
        Route route;
        route.from = t.from;
        route.to = t.to;
        const std::vector<AsfPoint>& points = t.shape.points;
        if (t.from == t.to) {
            // A self-loop stands on the side its record's points lie on.
            if (points.size() >= 2) {
                const QPointF mid = (ScenePoint(points[0]) + ScenePoint(points[1])) / 2;
                const QPointF d = mid - endpoints_[t.from]->pos();
                if (std::hypot(d.x(), d.y()) > 1) route.angle = std::atan2(d.y(), d.x());
            }
        } else {
            const auto key = std::make_pair(std::min(t.from, t.to), std::max(t.from, t.to));
            const int count = pairCount[key], seen = pairSeen[key]++;
            if (count > 1) route.bend = 36.0 * (seen - (count - 1) / 2.0) / (count - 1);
            if (count > 1 && t.from > t.to) route.bend = -route.bend;
        }
        ShowTransition(t, route);
    }
}

void DiagramScene::ShowTransition(const ModelTransition& t, Route route) {
    auto* item = new TransitionItem(t.priority);
    addItem(item);
    Tag(item, DiagramObjectKind::Transition, *t.id, true);
    item->setToolTip(QStringLiteral("Priority %1").arg(t.priority));
    route.path = item;
    routes_.push_back(route);
    Reroute(routes_.back());
    if (!t.condition) return;
    const QPointF at = t.conditionAt ? ScenePoint(*t.conditionAt)
                                     : item->path().pointAtPercent(0.5) + QPointF(6, 0);
    auto* note = new NoteItem(FromCore(*t.condition), kCondition, QColor(), false);
    note->setPos(at);
    addItem(note);
    Tag(note, DiagramObjectKind::Transition, *t.id, true);
}

void DiagramScene::ShowActions(const DiagramModel& model) {
    for (const ModelAction& action : model.actions) {
        auto* note = new NoteItem(FromCore(action.text), Qt::black, kActionFill, false);
        PlaceAt(note, Origin(action.shape));
        addItem(note);
        Tag(note, DiagramObjectKind::Action, *action.id, true);
        attached_.emplace(action.state, note);
    }
}

namespace {

Endpoint EndpointOf(const QGraphicsItem* item) {
    return {item->pos(), item->data(kRadiusXKey).toDouble(), item->data(kRadiusYKey).toDouble()};
}

} // namespace

void DiagramScene::Reroute(const Route& route) {
    const Endpoint from = EndpointOf(endpoints_.at(route.from));
    const Endpoint to = EndpointOf(endpoints_.at(route.to));
    const QPainterPath path =
        route.from == route.to ? LoopPath(from, route.angle) : ArcPath(from, to, route.bend);
    route.path->setPath(path);
}

void DiagramScene::Follow(QGraphicsItem* moved) {
    const ObjectNumber number = ObjectOf(moved).number;
    for (const Route& route : routes_)
        if (route.from == number || route.to == number) Reroute(route);
    // Action blocks go along with their state, as the move will take them.
    const QPointF shift = moved->pos() - ScenePoint({moved->data(kOriginXKey).toLongLong(),
                                                     moved->data(kOriginYKey).toLongLong()});
    auto [begin, end] = attached_.equal_range(number);
    for (auto it = begin; it != end; ++it) {
        QGraphicsItem* note = it->second;
        note->setPos(ScenePoint({note->data(kOriginXKey).toLongLong(),
                                 note->data(kOriginYKey).toLongLong()}) +
                     shift);
    }
}

void DiagramScene::SetTool(Tool tool) {
    tool_ = tool;
}

std::vector<DiagramObject> DiagramScene::SelectedObjects() const {
    std::vector<DiagramObject> out;
    QList<QGraphicsItem*> chosen = selectedItems();
    std::sort(chosen.begin(), chosen.end(), [](QGraphicsItem* a, QGraphicsItem* b) {
        return ObjectOf(a).number < ObjectOf(b).number;
    });
    for (QGraphicsItem* item : chosen) {
        const DiagramObject o = ObjectOf(item);
        if (o.kind != DiagramObjectKind::None && std::find(out.begin(), out.end(), o) == out.end())
            out.push_back(o);
    }
    return out;
}

QGraphicsItem* DiagramScene::SelectObject(ObjectNumber number) {
    clearSelection();
    QGraphicsItem* first = nullptr;
    for (QGraphicsItem* item : items(Qt::AscendingOrder)) {
        if (ObjectOf(item).number != number || ObjectOf(item).kind == DiagramObjectKind::None)
            continue;
        item->setSelected(true);
        if (!first) first = item;
    }
    return first;
}

QGraphicsItem* DiagramScene::EndpointAt(QPointF at) const {
    for (QGraphicsItem* item : items(at)) {
        const DiagramObjectKind kind = ObjectOf(item).kind;
        if (kind == DiagramObjectKind::State || kind == DiagramObjectKind::Reset) return item;
    }
    return nullptr;
}

void DiagramScene::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    if (event->button() != Qt::LeftButton || tool_ == Tool::Select) {
        QGraphicsScene::mousePressEvent(event);
        return;
    }
    if (tool_ == Tool::AddState) {
        if (EndpointAt(event->scenePos())) {
            QGraphicsScene::mousePressEvent(event);
            return;
        }
        Q_EMIT AddStateRequested(PagePoint(event->scenePos()));
        return;
    }
    connectFrom_ = EndpointAt(event->scenePos());
    if (!connectFrom_) return;
    rubberLine_ =
        addLine(QLineF(connectFrom_->pos(), event->scenePos()), QPen(kSelected, 1.5, Qt::DashLine));
    rubberLine_->setZValue(10);
}

void DiagramScene::mouseMoveEvent(QGraphicsSceneMouseEvent* event) {
    if (rubberLine_) {
        rubberLine_->setLine(QLineF(connectFrom_->pos(), event->scenePos()));
        return;
    }
    QGraphicsScene::mouseMoveEvent(event);
}

void DiagramScene::mouseReleaseEvent(QGraphicsSceneMouseEvent* event) {
    if (rubberLine_) {
        delete rubberLine_;
        rubberLine_ = nullptr;
        QGraphicsItem* to = EndpointAt(event->scenePos());
        const DiagramObject from = ObjectOf(connectFrom_);
        connectFrom_ = nullptr;
        if (to) Q_EMIT ConnectRequested(from.number, ObjectOf(to).number);
        return;
    }
    QGraphicsScene::mouseReleaseEvent(event);
    if (tool_ != Tool::Select) return;
    DiagramMoves moves;
    for (QGraphicsItem* item : selectedItems()) {
        if (!(item->flags() & QGraphicsItem::ItemIsMovable) || !item->data(kOriginXKey).isValid())
            continue;
        const AsfPoint origin{item->data(kOriginXKey).toLongLong(),
                              item->data(kOriginYKey).toLongLong()};
        const AsfPoint now = PagePoint(item->pos());
        // The move, not the place, is snapped: objects keep their places relative to the grid.
        auto snap = [](ObjectNumber d) {
            return static_cast<ObjectNumber>(std::llround(static_cast<double>(d) / kGrid)) * kGrid;
        };
        const AsfPoint to{origin.x + snap(now.x - origin.x), origin.y + snap(now.y - origin.y)};
        if (to == origin) {
            item->setPos(ScenePoint(origin));
            continue;
        }
        moves.push_back({ObjectOf(item).number, to});
    }
    if (!moves.empty()) Q_EMIT MoveRequested(moves);
}

void DiagramScene::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    for (QGraphicsItem* item : items(event->scenePos())) {
        const DiagramObject o = ObjectOf(item);
        if (o.kind == DiagramObjectKind::None) continue;
        SelectObject(o.number);
        Q_EMIT EditRequested(o);
        return;
    }
    if (tool_ == Tool::Select) Q_EMIT AddStateRequested(PagePoint(event->scenePos()));
}

void DiagramScene::contextMenuEvent(QGraphicsSceneContextMenuEvent* event) {
    DiagramObject object;
    for (QGraphicsItem* item : items(event->scenePos())) {
        object = ObjectOf(item);
        if (object.kind != DiagramObjectKind::None) break;
    }
    const std::vector<DiagramObject> selected = SelectedObjects();
    if (object.kind != DiagramObjectKind::None &&
        std::find(selected.begin(), selected.end(), object) == selected.end())
        SelectObject(object.number);
    Q_EMIT MenuRequested(object, PagePoint(event->scenePos()), event->screenPos());
}

void DiagramScene::drawBackground(QPainter* painter, const QRectF& rect) {
    painter->fillRect(rect, QColor(0xe4, 0xe6, 0xea));
    painter->fillRect(page_.intersected(rect), Qt::white);
    // A dot every four grid steps, inside the page.
    const double step = Px(4.0 * kGrid);
    const QRectF area = page_.intersected(rect);
    if (area.isEmpty() || painter->transform().m11() * step < 4) return;
    painter->setPen(QPen(QColor(0xcc, 0xd0, 0xd8), 0));
    QVector<QPointF> dots;
    for (double x = std::ceil(area.left() / step) * step; x <= area.right(); x += step)
        for (double y = std::ceil(area.top() / step) * step; y <= area.bottom(); y += step)
            dots.append(QPointF(x, y));
    painter->drawPoints(dots.constData(), static_cast<int>(dots.size()));
}

} // namespace kestrel
