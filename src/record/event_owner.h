#pragma once
// What the event recorder needs of the document that owns it. The document
// model sits above the recorder in the build, so it implements this interface
// and hands itself to CEventMngr.
namespace pg {

class CStrokeMngr;
class CPenRender;

class EventOwner {
 public:
  virtual ~EventOwner() = default;
  // The stroke manager and the pen renderer the document draws with; fetched
  // again whenever the recorder is prepared or the document is activated.
  [[nodiscard]] virtual CStrokeMngr* eventStrokeManager() = 0;
  [[nodiscard]] virtual CPenRender* eventPenRenderer() = 0;
};

}  // namespace pg
