#pragma once
// The drawing of an ASF diagram: frame, signature text, ports, states, the reset object,
// transitions with their priority and condition, action blocks, diagram signals and
// constants, each placed at the coordinates its record holds (the page's y runs upwards,
// the scene's downwards). The scene changes nothing itself: a finished drag, a click with
// the state tool, a drawn transition and a double click are reported as requests, which
// the editor carries out through the core's editing operations and then shows again.
#include "fsm/AsfDocument.h"

#include <QGraphicsScene>
#include <QPoint>
#include <QPointF>

#include <map>
#include <utility>
#include <vector>

class QGraphicsLineItem;
class QGraphicsPathItem;

namespace kestrel {

struct DiagramModel;
struct ModelTransition;

enum class DiagramObjectKind { None, State, Reset, Transition, Action, Signal, Constant, Port };

struct DiagramObject {
    DiagramObjectKind kind = DiagramObjectKind::None;
    ObjectNumber number = 0;
    bool operator==(const DiagramObject&) const = default;
};

using DiagramMoves = std::vector<std::pair<ObjectNumber, AsfPoint>>;

class DiagramScene : public QGraphicsScene {
    Q_OBJECT

public:
    enum class Tool { Select, AddState, AddTransition };

    // Page units per scene pixel, and the grid moves are snapped to (page units).
    static constexpr double kUnitsPerPixel = 150.0;
    static constexpr ObjectNumber kGrid = 1000;

    explicit DiagramScene(QObject* parent = nullptr);

    // Draws the document anew; the objects selected before stay selected.
    void Show(const AsfDocument& doc);

    void SetTool(Tool tool);
    Tool CurrentTool() const { return tool_; }

    // The selected objects, each once, in drawing order.
    std::vector<DiagramObject> SelectedObjects() const;
    // Selects just this object (nothing when it is not drawn); its first item, or null.
    QGraphicsItem* SelectObject(ObjectNumber number);

    static QPointF ScenePoint(AsfPoint at);
    static AsfPoint PagePoint(QPointF at);
    static DiagramObject ObjectOf(const QGraphicsItem* item);
    // The item draws the initial state: the one the reset transition enters.
    static bool IsInitialState(const QGraphicsItem* item);

    // While a state or the reset object is dragged: its transitions and action blocks
    // follow it.
    void Follow(QGraphicsItem* moved);

Q_SIGNALS:
    void MoveRequested(const kestrel::DiagramMoves& moves);
    void AddStateRequested(kestrel::AsfPoint at);
    void ConnectRequested(kestrel::ObjectNumber from, kestrel::ObjectNumber to);
    void EditRequested(kestrel::DiagramObject object);
    // A right click: on an object (selected by it), or on an empty place (kind None).
    void MenuRequested(kestrel::DiagramObject object, kestrel::AsfPoint at, QPoint screen);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
    void contextMenuEvent(QGraphicsSceneContextMenuEvent* event) override;
    void drawBackground(QPainter* painter, const QRectF& rect) override;

private:
    struct Route {
        QGraphicsPathItem* path = nullptr;
        ObjectNumber from = 0;
        ObjectNumber to = 0;
        double angle = -0.785398; // where a self-loop stands (radians, up and right)
        double bend = 0;          // pixels to one side; 0 straight
    };
    void Reroute(const Route& route);
    // The parts of Show: states and the reset object, transitions with their conditions,
    // action blocks.
    void ShowEndpoints(const DiagramModel& model);
    void ShowTransitions(const DiagramModel& model);
    void ShowTransition(const ModelTransition& t, Route route);
    void ShowActions(const DiagramModel& model);

    // The state or reset object under a point (a transition's possible end), or null.
    QGraphicsItem* EndpointAt(QPointF at) const;

    Tool tool_ = Tool::Select;
    QRectF page_;
    QGraphicsLineItem* rubberLine_ = nullptr;
    QGraphicsItem* connectFrom_ = nullptr;
    std::vector<Route> routes_;
    std::map<ObjectNumber, QGraphicsItem*> endpoints_;     // states and the reset object
    std::multimap<ObjectNumber, QGraphicsItem*> attached_; // action blocks by state
};

} // namespace kestrel
