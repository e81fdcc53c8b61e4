#include "JsonReport.h"

#include "HexInput.h"

#include <utility>
#include <vector>

namespace {

// A run that goes on for long (watch) tells its problems on standard error
// as they come; a result's errors member lists the first ones.
constexpr size_t kMaxNotedProblems = 100;

struct NotedProblem {
    std::string message;
    std::optional<uint8_t> reg;
};

struct RunReport {
    std::vector<NotedProblem> problems;
    std::string adapter;
    std::optional<Json> held;
    bool printed = false;
};

RunReport& Report()
{
    static RunReport report;
    return report;
}

Json ProblemJson(const NotedProblem& problem)
{
    const std::string& adapter = Report().adapter;
    return Json{{"message", problem.message},
                {"register", problem.reg ? Json(HexByteText(*problem.reg)) : Json(nullptr)},
                {"adapter", adapter.empty() ? Json(nullptr) : Json(adapter)}};
}

}  // namespace

void NoteProblem(const std::string& message, std::optional<uint8_t> reg)
{
    if (Report().problems.size() < kMaxNotedProblems) Report().problems.push_back({message, reg});
}

void NoteAdapterInUse(std::string name) { Report().adapter = std::move(name); }

void NoteJsonPrinted() { Report().printed = true; }

void HoldJsonResult(Json result) { Report().held = std::move(result); }

void StartJsonRun()
{
    RunReport& report = Report();
    report.problems.clear();
    report.held.reset();
    report.printed = false;
}

void FinishJsonRun(int status)
{
    RunReport& report = Report();
    if (report.held) {
        Json result = std::move(*report.held);
        report.held.reset();
        if (!report.problems.empty()) {
            Json errors = Json::array();
            for (const NotedProblem& problem : report.problems)
                errors.push_back(ProblemJson(problem));
            result["errors"] = errors;
        }
        PrintJson(result);
    } else if (status != 0 && !report.printed) {
        const NotedProblem first = report.problems.empty()
            ? NotedProblem{"failed with exit status " + std::to_string(status), std::nullopt}
            : report.problems.front();
        Json error = ProblemJson(first);
        error["exit"] = status;
        PrintJson(Json{{"error", error}});
    }
    report.problems.clear();
}
