#include "tessel/SignalSlots.h"

namespace Tessel
{

// One connection: observes its subject and calls the function for matching messages.
class SignalSlots::Slot : public Object
{
public:
    Slot(int id, ISubject* subject, std::string messageId, Function function)
        : id(id), subject(subject), messageId(std::move(messageId)), function(std::move(function))
    {
        subject->addObserver(this);
    }

    void disconnect()
    {
        if (subject)
        {
            subject->removeObserver(this);
            subject = nullptr;
        }
    }

    void notify(ISubject* from, const Message& msg) override
    {
        if (from == subject.get() && (messageId.empty() || msg.getID() == messageId))
        {
            // The function may remove this slot.
            SharedPtr<Object> keepAlive(this);
            Function call = function;
            call(msg);
        }
    }

    const int id;
    SharedPtr<ISubject> subject;

private:
    std::string messageId;
    Function function;
};

int SignalSlots::add(ISubject* subject, const std::string& messageId, Function function)
{
    if (!subject || !function)
        return 0;
    int id = nextId++;
    slots.push_back(new Slot(id, subject, messageId, std::move(function)));
    return id;
}

bool SignalSlots::remove(int id)
{
    for (auto it = slots.begin(); it != slots.end(); ++it)
    {
        if ((*it)->id == id)
        {
            Slot* slot = *it;
            slots.erase(it);
            slot->disconnect();
            slot->release();
            return true;
        }
    }
    return false;
}

void SignalSlots::removeSubject(ISubject* subject)
{
    for (size_t i = slots.size(); i-- > 0;)
    {
        if (slots[i]->subject.get() == subject)
        {
            Slot* slot = slots[i];
            slots.erase(slots.begin() + long(i));
            slot->disconnect();
            slot->release();
        }
    }
}

void SignalSlots::removeAll()
{
    while (!slots.empty())
    {
        Slot* slot = slots.back();
        slots.pop_back();
        slot->disconnect();
        slot->release();
    }
}

} // namespace Tessel
