// The ordered owning object list: a doubly linked list with a sentinel that keeps pushed
// elements themselves (no copy) and releases them with release(). Any class with a release()
// can be listed (the SNMP packet and PDU lists are instances of it):
//
//   using IPmcNetworkAddressList = IPmsObjectList<IPmcNetworkAddress>;
//   IPmcNetworkAddressList* list = create_object_list<IPmcNetworkAddress>(&result);
//
// Iterators are small separate objects holding a node; one at the sentinel is at the end.
#pragma once

#include <cstdint>

#include "core/factory.h"
#include "core/result.h"

namespace psw {

// A position in a list. Made by new_iterator, given back with release_iterator.
struct PmsListIterator;

// The list as its element-independent base (slot 12's view): count and destruction.
class IPmsListBase {
public:
    virtual uint32_t count() const noexcept = 0;
    virtual void destroy() noexcept = 0;

protected:
    ~IPmsListBase() = default;
};

template <class T>
class IPmsObjectList {
public:
    // Takes ownership; null gives PSW_ERR_PARAMETER. PSW_ERR_NO_MEMORY when the node cannot be made
    // (the element is then released, so ownership passes in every case).
    virtual Result push_front(T* element) noexcept = 0;
    // takes ownership of `element`; it is released even when the call fails
    virtual Result push_back(T* element) noexcept = 0;
    // Remove and release the first or last element; nothing when empty.
    virtual void pop_front() noexcept = 0;
    virtual void pop_back() noexcept = 0;
    virtual void clear() noexcept = 0;
    virtual uint32_t count() const noexcept = 0;
    // the caller owns the result and gives it back with release_iterator()
    virtual PmsListIterator* new_iterator(Result* result = nullptr) noexcept = 0;
    // borrowed: `iterator` stays the caller's (also for advance and unlink)
    virtual void rewind(PmsListIterator* iterator) noexcept = 0;
    // takes ownership of `iterator` and frees it
    virtual void release_iterator(PmsListIterator* iterator) noexcept = 0;
    // The element at the iterator (still owned by the list), null at the end.
    virtual T* at(const PmsListIterator* iterator) const noexcept = 0;
    virtual void advance(PmsListIterator* iterator) noexcept = 0;
    // Removes the node and moves the iterator on; the element is not released: the caller,
    // who read it with at(), owns it from then on.
    virtual void unlink(PmsListIterator* iterator) noexcept = 0;
    // not a transfer: a view of this list, valid while it lives
    virtual IPmsListBase* base() noexcept = 0;
    // Destroys the list and releases every element.
    virtual void destroy() noexcept = 0;

    // destroy() under the name the owning pointers use.
    void release() noexcept { destroy(); }

protected:
    virtual ~IPmsObjectList() = default;
};

struct PmsListNode {
    PmsListNode* previous;
    PmsListNode* next;
    void* element;
};

struct PmsListIterator {
    PmsListNode* node;
};

template <class T>
class CPmsObjectList final : public IPmsObjectList<T>, private IPmsListBase {
public:
    CPmsObjectList() noexcept
    {
        m_sentinel.previous = &m_sentinel;
        m_sentinel.next = &m_sentinel;
        m_sentinel.element = nullptr;
    }
    ~CPmsObjectList() override { clear(); }

    Result push_front(T* element) noexcept override { return insert_after(&m_sentinel, element); }
    Result push_back(T* element) noexcept override
    {
        return insert_after(m_sentinel.previous, element);
    }
    void pop_front() noexcept override { erase(m_sentinel.next); }
    void pop_back() noexcept override { erase(m_sentinel.previous); }
    void clear() noexcept override
    {
        while (m_count != 0) {
            erase(m_sentinel.next);
        }
    }
    uint32_t count() const noexcept override { return m_count; }
    PmsListIterator* new_iterator(Result* result) noexcept override
    {
        return pmc_made(pmc_new<PmsListIterator>(PmsListIterator{m_sentinel.next}), result);
    }
    void rewind(PmsListIterator* iterator) noexcept override
    {
        if (iterator != nullptr) {
            iterator->node = m_sentinel.next;
        }
    }
    void release_iterator(PmsListIterator* iterator) noexcept override { delete iterator; }
    T* at(const PmsListIterator* iterator) const noexcept override
    {
        return iterator != nullptr ? static_cast<T*>(iterator->node->element) : nullptr;
    }
    void advance(PmsListIterator* iterator) noexcept override
    {
        if (iterator != nullptr && iterator->node != &m_sentinel) {
            iterator->node = iterator->node->next;
        }
    }
    void unlink(PmsListIterator* iterator) noexcept override
    {
        if (iterator == nullptr || iterator->node == &m_sentinel) {
            return;
        }
        PmsListNode* node = iterator->node;
        iterator->node = node->next;
        detach(node);
        delete node;
    }
    IPmsListBase* base() noexcept override { return this; }
    void destroy() noexcept override { delete this; }

private:
    Result insert_after(PmsListNode* position, T* element) noexcept
    {
        if (element == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        auto* node = pmc_new<PmsListNode>(PmsListNode{position, position->next, element});
        if (node == nullptr) {
            element->release();
            return PSW_ERR_NO_MEMORY;
        }
        position->next->previous = node;
        position->next = node;
        ++m_count;
        return PSW_SUCCESS;
    }
    void detach(PmsListNode* node) noexcept
    {
        node->previous->next = node->next;
        node->next->previous = node->previous;
        --m_count;
    }
    void erase(PmsListNode* node) noexcept
    {
        if (node == &m_sentinel) {
            return;
        }
        detach(node);
        static_cast<T*>(node->element)->release();
        delete node;
    }

    PmsListNode m_sentinel;
    uint32_t m_count = 0;
};

// A new empty list of T, owned by the caller (destroy() or release()).
template <class T>
IPmsObjectList<T>* create_object_list(Result* result = nullptr) noexcept
{
    return pmc_made(pmc_new<CPmsObjectList<T>>(), result);
}

}  // namespace psw
