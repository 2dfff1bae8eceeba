#pragma once

#include <memory>

namespace skarvel {

// An object made the first time it is used and released on request; using it again after a
// release makes a fresh one.
template <class T>
class AutoNew {
public:
    T* operator->() { return &get(); }
    T& operator*() { return get(); }
    T& get()
    {
        if (!m_object)
            m_object = std::make_unique<T>();
        return *m_object;
    }
    bool exists() const { return m_object != nullptr; }
    void reset() { m_object.reset(); }

private:
    std::unique_ptr<T> m_object;
};

} // namespace skarvel
