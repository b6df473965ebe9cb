#include "sharding.h"

#include <QCoreApplication>
#include <QThread>

#include <sched.h>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <queue>
#include <utility>
#include <vector>

namespace ktdv::convert {

namespace {

constexpr int kMaxJobs = 256;

std::optional<int> number(const Environment& env, const char* name) {
    bool ok = false;
    const int value = env(name).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

Shard failed(const QString& why) {
    Shard s;
    s.error = why;
    return s;
}

}  // namespace

Environment processEnvironment() {
    return [](const char* name) { return qEnvironmentVariable(name); };
}

Shard resolveShard(int index, int count, const Environment& env) {
    Shard s;
    if (index >= 0) {
        s.index = index;
        s.count = count;
        return s;
    }
    const std::optional<int> slurmId = number(env, "SLURM_ARRAY_TASK_ID");
    const std::optional<int> k8sIndex = number(env, "JOB_COMPLETION_INDEX");
    if (slurmId && count > 0) {
        s.index = *slurmId;
    } else if (slurmId) {
        const std::optional<int> first = number(env, "SLURM_ARRAY_TASK_MIN");
        const std::optional<int> tasks = number(env, "SLURM_ARRAY_TASK_COUNT");
        const int step = number(env, "SLURM_ARRAY_TASK_STEP").value_or(1);
        if (!first || !tasks || step < 1) {
            return failed(QCoreApplication::translate(
                "ktdocview-convert", "SLURM_ARRAY_TASK_MIN or _COUNT missing; give --shards N"));
        }
        s.index = (*slurmId - *first) / step;
        count = *tasks;
    } else if (k8sIndex && count > 0) {
        s.index = *k8sIndex;
    } else if (k8sIndex) {
        return failed(QCoreApplication::translate("ktdocview-convert",
                                                  "JOB_COMPLETION_INDEX needs --shards N"));
    } else if (count > 0) {
        return failed(QCoreApplication::translate("ktdocview-convert",
                                                  "--shards needs a scheduler's task index "
                                                  "(SLURM_ARRAY_TASK_ID or JOB_COMPLETION_INDEX)"));
    } else {
        count = 1;
    }
    s.count = count;
    if (s.count < 1 || s.index < 0 || s.index >= s.count) {
        return failed(QCoreApplication::translate("ktdocview-convert",
                                                  "task %1 is outside the shards 0 to %2")
                          .arg(s.index)
                          .arg(s.count - 1));
    }
    return s;
}

QVector<WorkItem> itemsOfShard(const QVector<WorkItem>& items, int index, int count) {
    std::vector<qsizetype> order(static_cast<size_t>(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i) {
        order[static_cast<size_t>(i)] = i;
    }
    const auto weight = [&](qsizetype i) { return std::max(1, items[i].pages); };
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return weight(a) != weight(b) ? weight(a) > weight(b) : items[a].input < items[b].input;
    });
    // (pages so far, part), smallest first
    using Load = std::pair<qint64, int>;
    std::priority_queue<Load, std::vector<Load>, std::greater<>> loads;
    for (int part = 0; part < count; ++part) {
        loads.push({0, part});
    }
    std::vector<qsizetype> mine;
    for (const qsizetype i : order) {
        Load least = loads.top();
        loads.pop();
        if (least.second == index) {
            mine.push_back(i);
        }
        least.first += weight(i);
        loads.push(least);
    }
    std::sort(mine.begin(), mine.end(),
              [&](qsizetype a, qsizetype b) { return items[a].input < items[b].input; });
    QVector<WorkItem> result;
    result.reserve(static_cast<qsizetype>(mine.size()));
    for (const qsizetype i : mine) {
        result.append(items[i]);
    }
    return result;
}

int defaultJobs(const Environment& env) {
    const std::optional<int> perTask = number(env, "SLURM_CPUS_PER_TASK");
    if (perTask && *perTask >= 1) {
        return std::min(*perTask, kMaxJobs);
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof(set), &set) == 0 && CPU_COUNT(&set) > 0) {
        return std::min(CPU_COUNT(&set), kMaxJobs);
    }
    return std::clamp(QThread::idealThreadCount(), 1, kMaxJobs);
}

}  // namespace ktdv::convert
