#include "core/signal_stack.h"

#include <csignal>

namespace velmora {

bool useAlternateSignalStack(std::byte* memory, std::size_t size)
{
    if (hasAlternateSignalStack())
        return false;
    stack_t ours{};
    ours.ss_sp = memory;
    ours.ss_size = size;
    return ::sigaltstack(&ours, nullptr) == 0;
}

void dropAlternateSignalStack()
{
    stack_t none{};
    none.ss_flags = SS_DISABLE;
    ::sigaltstack(&none, nullptr); // refused while running on it, which is harmless
}

bool hasAlternateSignalStack()
{
    stack_t current{};
    return ::sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0;
}

AlternateSignalStack::AlternateSignalStack()
    : memory_(std::make_unique<std::byte[]>(kAlternateSignalStackSize))
{
    active_ = useAlternateSignalStack(memory_.get(), kAlternateSignalStackSize);
}

AlternateSignalStack::~AlternateSignalStack()
{
    if (active_)
        dropAlternateSignalStack();
}

} // namespace velmora
