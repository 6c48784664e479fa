// Loaded with LD_PRELOAD into ThreadSanitizer test runs. Qt is not built with
// ThreadSanitizer and hands queued calls between threads under its own futex
// locks, which the sanitizer cannot see; every functor that our code passes to
// QMetaObject::invokeMethod then looks like a race with the code that made
// it. This wrapper of the one function those calls reach states what Qt
// guarantees: posting a call happens before it runs, and a blocking call's
// work happens before the caller continues.

#include <QObject>

#include <dlfcn.h>

extern "C" {
void __tsan_acquire(void* address);
void __tsan_release(void* address);
}

namespace {

using InvokeMethodImpl = bool (*)(QObject*, QtPrivate::QSlotObjectBase*, Qt::ConnectionType, void*);

class HandoffSlot : public QtPrivate::QSlotObjectBase {
public:
    HandoffSlot(QtPrivate::QSlotObjectBase* inner, void* done)
        : QSlotObjectBase(&impl)
        , inner(inner)
        , done(done)
    {
    }

private:
    static void impl(int which, QSlotObjectBase* self, QObject* receiver, void** args, bool* ret)
    {
        auto* slot = static_cast<HandoffSlot*>(self);
        switch (which) {
        case Destroy:
            // Possibly on the caller's thread, once the call is over.
            __tsan_acquire(slot);
            slot->inner->destroyIfLastRef();
            delete slot;
            break;
        case Call:
            __tsan_acquire(slot);
            slot->inner->call(receiver, args);
            __tsan_release(slot);
            if (slot->done)
                __tsan_release(slot->done);
            break;
        case Compare:
            *ret = slot->inner->compare(args);
            break;
        }
    }

    QtPrivate::QSlotObjectBase* const inner;
    void* const done;
};

InvokeMethodImpl qtInvokeMethodImpl()
{
    static const auto real = reinterpret_cast<InvokeMethodImpl>(dlvsym(RTLD_NEXT,
        "_ZN11QMetaObject16invokeMethodImplEP7QObjectPN9QtPrivate15QSlotObjectBaseEN2Qt14ConnectionTypeEPv",
        "Qt_6"));
    return real;
}

} // namespace

bool QMetaObject::invokeMethodImpl(QObject* object, QtPrivate::QSlotObjectBase* slot, Qt::ConnectionType type,
    void* ret)
{
    // The caller's frame outlives a blocking call, so it can name its end.
    char done = 0;
    auto* handoff = new HandoffSlot(slot, type == Qt::BlockingQueuedConnection ? &done : nullptr);
    __tsan_release(handoff);
    const bool invoked = qtInvokeMethodImpl()(object, handoff, type, ret);
    if (type == Qt::BlockingQueuedConnection)
        __tsan_acquire(&done);
    return invoked;
}
