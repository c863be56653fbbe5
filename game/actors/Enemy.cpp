// Enemy: kinds, walking, striking and dying (see Enemy.h).
#include "Enemy.h"

#include <cmath>    // Required for: std::sqrt
#include <utility>  // Required for: std::pair

#include <LEGameState.h>
#include <LESystem.h>

#include "Player.h"
#include "levels/LevelState.h"
#include "objects/Button.h"
#include "objects/ProgBar.h"

SceneIndex<Enemy> enemyList;
float nexusStrikeTimer = 0.0f;

// ---------------------------------------------------------------------------
// Path tables (world units). Each ends at its level's end point beside the nexus.
// ---------------------------------------------------------------------------
static const Waypoint L1_START0[] = {{190, -180}, {-170, 180}, {-270, 170}, {-260, 10}, {-350, 10}};
static const Waypoint L1_START1[] = {{180, 165}, {-170, -200}, {-270, -180}, {-260, 10}, {-350, 10}};
static const Waypoint L2_MAIN[] = {{320, -125}, {175, -125}, {175, 0},   {390, 0},    {370, 245},
                                   {250, 235},  {260, 100},  {180, 110}, {200, 250},  {100, 230},
                                   {110, -255}, {-150, -240}, {-150, -140}, {10, -140}, {10, 55},
                                   {-265, 45},  {-245, 220}, {-55, 215}, {-75, -75},  {-340, -40}};
static const Waypoint L3_START1[] = {{200, 250}, {215, -270}, {1, -260}, {1, 250}, {-250, 230}, {-240, 0}, {-365, 30}};
static const Waypoint L3_MAIN[] = {{-365, 30}};
static const Waypoint L3_START0[] = {{90, -170}, {95, 175}, {-150, 160}, {-130, -230}, {-250, -230}, {-250, 30}, {-365, 30}};
static const Waypoint L4_MAIN[] = {{313, -10}, {333, -171}, {209, -152}, {208, -34}, {133, -47}, {145, -175},
                                   {76, -160}, {88, -256},  {-10, -250}, {4, -100},  {62, -109}, {54, -16},
                                   {-80, -30}, {-68, -167}, {-213, -148}, {-200, 5}, {-357, 10}};
static const Waypoint L4_START0[] = {{313, -10}, {332, 150}, {198, 138}, {212, 55}, {130, 70},
                                     {140, 162}, {30, 152},  {50, 50},   {-70, 70}, {-53, 123},
                                     {0, 123},   {-17, 208}, {-142, 191}, {-130, -25}, {-357, 10}};

template <size_t N>
static constexpr std::pair<const Waypoint*, int> Table(const Waypoint (&t)[N]) { return {t, int(N)}; }

static const std::pair<const Waypoint*, int> PATHS[PATH_COUNT] = {
    Table(L1_START0), Table(L1_START1), Table(L2_MAIN), Table(L3_START1),
    Table(L3_MAIN),   Table(L3_START0), Table(L4_MAIN), Table(L4_START0),
};

const Waypoint* PathWaypoints(EnemyPath path, int* count)
{
    *count = PATHS[path].second;
    return PATHS[path].first;
}

Waypoint LevelEndPoint(int level)
{
    switch (level) {
    case 1: return {-350, 10};
    case 2: return {-340, -40};
    case 3: return {-365, 30};
    case 4: return {-357, 10};
    default: return {0, 0};
    }
}

// Routes an enemy can walk, and which table each level uses for them (-1: stand still).
enum Route { ROUTE_DEFAULT, ROUTE_START0, ROUTE_START1 };
static const int ROUTE_TABLE[3][5] = {
    // state:         0   1                2              3               4
    /* default */ {-1, -1, PATH_L2_MAIN, PATH_L3_MAIN, PATH_L4_MAIN},
    /* start 0 */ {-1, PATH_L1_START0, -1, PATH_L3_START0, PATH_L4_START0},
    /* start 1 */ {-1, PATH_L1_START1, -1, PATH_L3_START1, -1},
};

// ---------------------------------------------------------------------------
// Kinds
// ---------------------------------------------------------------------------
Enemy::Enemy(float health, float nexusDamage, float speed, float strikeDelay, float goldDrop, float kindCode)
    : health(health), nexusDamage(nexusDamage), speed(speed), strikeDelay(strikeDelay), goldDrop(goldDrop),
      kindCode(kindCode)
{
    enemyList.push_back(this);
    healthBar = new ProgBar(this);
    healthBar->active = healthBar->alive = healthBar->visible = true;
    healthBarOffset = TransformRelative(transform, healthBar->bar->transform);
}

Enemy::~Enemy() { delete healthBar; }

Wyvern::Wyvern() : Enemy(350, 100, 1.0f, 0.5f, 7, KIND_WYVERN) {}
Orc::Orc() : Enemy(400, 50, 0.5f, 0.75f, 10, KIND_ORC) {}
Skeleton::Skeleton() : Enemy(200, 20, 1.0f, 1.0f, 1, KIND_SKELETON) {}
Goblin::Goblin() : Enemy(150, 15, 2.0f, 2.0f, 2, KIND_GOBLIN) {}

Enemy* MakeEnemyOfKind(float kindCode)
{
    switch (int(kindCode)) {
    case 2: return new Wyvern;
    case 3: return new Orc;
    case 4: return new Skeleton;
    case 5: return new Goblin;
    default: return nullptr;
    }
}

// ---------------------------------------------------------------------------
// Per frame
// ---------------------------------------------------------------------------
static bool PointInOwnBox(Waypoint p, const GameObject* object) { return PointInBox({p.x, p.y}, object); }

void Enemy::WalkPath(EnemyPath path)
{
    int count = 0;
    const Waypoint* waypoints = PathWaypoints(path, &count);
    int& cursor = pathCursor[path];
    const Waypoint w = waypoints[cursor];
    const float dx = transform.position.x - w.x, dy = transform.position.y - w.y;
    const float len = std::sqrt(dx * dx + dy * dy);
    if (len <= -0.00001f || len >= 0.00001f) {
        transform.position.x -= speed * dx / len;
        transform.position.y -= speed * dy / len;
    }
    // At the end point the enemy stays on it; elsewhere it turns to the next waypoint.
    if (PointInOwnBox(LevelEndPoint(currentState), this)) return;
    if (PointInOwnBox(w, this) && cursor + 1 < count) cursor += 1;
}

void Enemy::WalkRoute(int route)
{
    if (currentState < 0 || currentState > 4) return;
    const int table = ROUTE_TABLE[route][currentState];
    if (table >= 0) WalkPath(EnemyPath(table));
}

// Out of the fight for good: the bar goes, the enemy leaves enemyList, every
// tower or hero aiming at it lets go, and the object is deleted at the start of
// the next frame. An endless wave therefore keeps only the enemies on the field.
void Enemy::LeaveField()
{
    delete healthBar;
    healthBar = nullptr;
    DestroyObject(this);
}

bool Enemy::StrikeNexus()
{
    if (!nexus || !BoxesOverlap(this, nexus)) return false;
    nexusStrikeTimer += float(LEFrameTime());
    if (nexusStrikeTimer < strikeDelay) return false;
    LeaveField();
    nexusStrikeTimer = 0.0f;
    // In double: a float would round a large health (the nexus cheat's two
    // billion) to its nearest multiple of 128.
    nexusHealth = int32_t(double(nexusHealth) - double(nexusDamage));
    return true;
}

void Enemy::Die()
{
    LeaveField();
    // Two enemies may die in the frame that reaches the target, and enemies may die
    // between rounds: the count stops at 0 instead of wrapping round.
    if (enemiesRemaining > 0) enemiesRemaining -= 1;
    if (currentPlayer) {
        const float bonus = currentPlayer->heroKind == HERO_THIEF ? currentPlayer->kindBonus : 0.0f;
        currentPlayer->gold += goldDrop + bonus;
    }
}

void Enemy::Update()
{
    if (spawnPoints[1] && BoxesOverlap(this, spawnPoints[1])) touchedStart1 = true;
    if (spawnPoints[0] && BoxesOverlap(this, spawnPoints[0])) touchedStart0 = true;

    if (touchedStart1) WalkRoute(ROUTE_START1);
    if (touchedStart0 || start0RouteForced) WalkRoute(ROUTE_START0);
    if (!touchedStart1 && !touchedStart0 && !start0RouteForced) WalkRoute(ROUTE_DEFAULT);

    previousTransform = transform;
    healthBarWorld = TransformCompose(transform, healthBarOffset);
    healthBar->bar->transform.position = {healthBarWorld.position.x, healthBarWorld.position.y + 25.0f};
    healthBar->Update();

    if (StrikeNexus()) return;
    if (health <= 0.0f) Die();
}
