#pragma once

#include <string>
#include <vector>

#include "speaker/IEqViews.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{
class IParameter;
}

namespace Filtra
{

class EQComponent;

// A curve view of an equaliser, as the equaliser makes it for the skin: the response editor
// ("CurveDisplay"), a small curve ("CurveMicroDisplay") or the band selector ("CurveSelectDisplay").
// It keeps its equaliser alive, listens to its band, selection and all-bands changes and signals
// "changed" (argument: the equaliser's message id, or "switch") to its own observers, which then
// read the equaliser through getEqualiser(). GUI thread only.
class EqCurveView : public Tessel::Object, public IEqualiserView
{
public:
    enum class Kind
    {
        kNone,
        kDisplay,
        kMicro,
        kSelect,
    };
    // The kind a view name stands for (kNone for other names).
    static Kind kindFromName(const std::string& viewName);

    EqCurveView(EQComponent* equaliser, Kind kind);

    // Answers IEqualiserView as well as the interfaces of Object.
    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }

    EQComponent* getEqualiser() const override { return equaliser.get(); }
    Kind getKind() const { return kind; }

    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~EqCurveView() override;

private:
    Tessel::SharedPtr<EQComponent> equaliser;
    std::vector<Tessel::SharedPtr<Tessel::IParameter>> switches;
    Kind kind;
};

} // namespace Filtra
