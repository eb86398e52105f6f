#include "runtime/GuardedCommand.h"

#include "runtime/ErrorReport.h"

namespace papyrant {

RuntimeError currentExceptionAsRuntimeError()
{
    try {
        throw;
    } catch (const RuntimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return RuntimeError(err::kOutOfMemory);
    } catch (const std::exception& other) {
        return RuntimeError(err::kInternalError, standardErrorDescription(err::kInternalError) + ": " + other.what());
    } catch (...) {
        return RuntimeError(err::kInternalError);
    }
}

void GuardedCommand::fail(int number)
{
    const RuntimeError error = currentExceptionAsRuntimeError();
    if (m_override && m_override(error)) {
        m_ended = true;
        return;
    }
    m_messages.show(buildErrorReport(error, m_location, number));
}

std::string commandLocation(std::string_view handler)
{
    return "Orvantis2021/08/31.Form1." + std::string(handler);
}

} // namespace papyrant
