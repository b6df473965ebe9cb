#pragma once
// Which part of a batch this task converts, and how many pages it recognises at once: from
// the command line or from the scheduler that started it (a Slurm array task, a Kubernetes
// Indexed Job).

#include "worklist.h"

#include <QString>

#include <functional>

namespace ktdv::convert {

struct Shard {
    int index = 0;
    int count = 1;
    QString error;  // "" = fine
};

// Reads an environment variable ("" when unset); tests and callers pass their own.
using Environment = std::function<QString(const char* name)>;
Environment processEnvironment();

// Task K of N: --shard K/N when given (index >= 0), else the scheduler's environment:
// SLURM_ARRAY_TASK_ID (as the shard number with --shards N, else counted from
// SLURM_ARRAY_TASK_MIN in steps of SLURM_ARRAY_TASK_STEP out of SLURM_ARRAY_TASK_COUNT), or
// JOB_COMPLETION_INDEX with --shards N. Part 0 of 1 without either.
Shard resolveShard(int index, int count, const Environment& env);

// The items of part `index` of `count`, by input path. The parts depend only on the set of
// inputs and their page counts, not on their order: the largest documents are dealt first, each to
// the part with the fewest pages so far (the lowest-numbered on a tie); an unknown page
// count weighs one page.
QVector<WorkItem> itemsOfShard(const QVector<WorkItem>& items, int index, int count);

// Pages recognised at once when --jobs is not given: SLURM_CPUS_PER_TASK, else the cores
// this process may run on (its CPU affinity), never more than that.
int defaultJobs(const Environment& env);

}  // namespace ktdv::convert
