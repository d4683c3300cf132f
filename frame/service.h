// Service objects, references to them and the factory nodes the host walks.
//
// Every interface object starts with the address of its operation table and
// is called by slot; a derived interface's table holds its base's slots
// first. No table has a destructor slot, so every base destructor here is
// protected and non-virtual.
//
// The factory node is read field by field by the host: table at offset 0,
// next at 1 pointer, class_guid at 2 pointers (0, 4, 8 on 32-bit).
// Every factory and service of the component is a static single instance;
// release and add_ref are nominal and return 1; query answers only the
// interface's own class GUID and leaves the caller's holder alone otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "frame/guid.h"

class service_ref;

class service_base {
public:
    virtual std::uint32_t release() = 0;
    virtual std::uint32_t add_ref() = 0;
    virtual bool query(service_ref* holder, const guid* requested) = 0;

protected:
    ~service_base() = default;
};

// Holds one service object's address, or null, and counts one reference on
// it. The host passes holders by value into operations (run_command's
// callback): the copy counts a reference and the callee's copy drops it, so
// the callee releases what it was given on every path, errors included.
class service_ref {
public:
    service_ref() = default;
    explicit service_ref(service_base* object) { assign(object); }
    service_ref(const service_ref& other) { assign(other.object_); }
    service_ref& operator=(const service_ref&) = delete;
    ~service_ref() {
        if (object_) object_->release();
    }

    // Release what was held, store, then count a reference on the new object.
    void assign(service_base* object) {
        if (object_) object_->release();
        object_ = object;
        if (object_) object_->add_ref();
    }

    service_base* get() const { return object_; }

private:
    service_base* object_ = nullptr;
};
static_assert(sizeof(service_ref) == sizeof(void*), "a holder is one address, as the host's is");

// query for an interface whose only identity is own_class.
inline bool query_own_class(service_base* self, const guid& own_class, service_ref* holder,
                            const guid* requested) {
    if (!guid_equal(*requested, own_class)) return false;
    holder->assign(self);
    return true;
}

class service_factory_base {
public:
    virtual void create_service(service_ref* holder) = 0;

    service_factory_base* next = nullptr;
    const guid* class_guid;

protected:
    // Links the node at the front of list; static factories run this while
    // the library loads.
    service_factory_base(const guid* served_class, service_factory_base*& list)
        : next(list), class_guid(served_class) {
        list = this;
    }
    ~service_factory_base() = default;
};

// The head of the component's factory list; complete once loading is done.
extern service_factory_base* factory_list;

template <class I>
class service_factory_base_t : public service_factory_base {
protected:
    explicit service_factory_base_t(service_factory_base*& list)
        : service_factory_base(&I::class_guid, list) {}
};

template <class T>
class service_impl_single_t : public T {
public:
    using T::T;
    std::uint32_t release() override { return 1; }
    std::uint32_t add_ref() override { return 1; }
};

// A factory holding its one service object as a member, right after the
// node's three fields.
template <class T>
class service_factory_single_t : public service_factory_base_t<typename T::service_interface> {
public:
    template <class... Args>
    explicit service_factory_single_t(service_factory_base*& list, Args&&... args)
        : service_factory_base_t<typename T::service_interface>(list),
          instance_(std::forward<Args>(args)...) {}

    void create_service(service_ref* holder) override { holder->assign(&instance_); }
    service_impl_single_t<T>& instance() { return instance_; }

private:
    service_impl_single_t<T> instance_;
};

// Factory and service in one object: the service part follows the node.
template <class T>
class service_factory_single_transparent_t
    : public service_factory_base_t<typename T::service_interface>,
      public service_impl_single_t<T> {
public:
    template <class... Args>
    explicit service_factory_single_transparent_t(service_factory_base*& list, Args&&... args)
        : service_factory_base_t<typename T::service_interface>(list),
          service_impl_single_t<T>(std::forward<Args>(args)...) {}

    void create_service(service_ref* holder) override {
        holder->assign(static_cast<service_impl_single_t<T>*>(this));
    }
};
