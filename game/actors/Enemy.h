// Enemy: the four enemy kinds, their waypoint paths, the walk to the nexus, the
// strike on it and death. Owns the path tables, enemyList (non-owning) and the
// strike timer all enemies share. The level's spawn step creates enemies; towers,
// heroes and projectiles lower their health.
#pragma once

#include "objects/GameObject.h"

struct ProgBar;

// kindCode values.
constexpr float KIND_WYVERN = 2.0f;
constexpr float KIND_ORC = 3.0f;
constexpr float KIND_SKELETON = 4.0f;
constexpr float KIND_GOBLIN = 5.0f;

// The eight path tables, in pathCursor order.
enum EnemyPath {
    PATH_L1_START0, PATH_L1_START1, PATH_L2_MAIN, PATH_L3_START1, PATH_L3_MAIN, PATH_L3_START0,
    PATH_L4_MAIN, PATH_L4_START0, PATH_COUNT
};

struct Enemy : GameObject {
    float health = 0.0f;
    float nexusDamage = 0.0f;
    float speed = 0.0f;        // world units per frame
    float strikeDelay = 0.0f;  // seconds of nexus contact on the shared timer
    float goldDrop = 0.0f;
    float kindCode = 0.0f;
    Transform healthBarOffset;
    Transform healthBarWorld;
    Transform previousTransform;
    ProgBar* healthBar = nullptr;  // owned
    bool start0RouteForced = false;
    int pathCursor[PATH_COUNT] = {};  // index of the waypoint walked to, per table
    bool touchedStart1 = false;
    bool touchedStart0 = false;

    ~Enemy() override;
    void Update() override;

protected:
    Enemy(float health, float nexusDamage, float speed, float strikeDelay, float goldDrop, float kindCode);

private:
    void WalkRoute(int route);
    void WalkPath(EnemyPath path);
    bool StrikeNexus();
    void Die();
    void LeaveField();
};

struct Wyvern : Enemy { Wyvern(); };
struct Orc : Enemy { Orc(); };
struct Skeleton : Enemy { Skeleton(); };
struct Goblin : Enemy { Goblin(); };

// Makes an enemy of the kind with this kindCode (2 to 5), or null.
Enemy* MakeEnemyOfKind(float kindCode);

extern SceneIndex<Enemy> enemyList;
extern float nexusStrikeTimer;

struct Waypoint {
    float x, y;
};
// The waypoints of a path, ending with its level's end point (no sentinel).
const Waypoint* PathWaypoints(EnemyPath path, int* count);
// The end point beside the nexus of level 1 to 4.
Waypoint LevelEndPoint(int level);
