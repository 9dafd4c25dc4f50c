# What is written stays right on the design plane: ranges enclose what readers draw, nothing
# leaves the plane, text sizes and grids are checked against what the elements hold, islands
# become holes, long lines are split, and the new header is one a CAD program accepts.
use v5.36;
use FindBin qw($RealBin);
use lib "$RealBin/lib";
use ConverterTest;
use Test::More;

my $dir = scratch();
my @lines = slots(3 => [ '-S', 'A' ], 4 => [ '-P', 'L' ], 5 => [ '-L', '4' ]);

sub fresh ($name) { write_file("$dir/$name", ''); return "$dir/$name" }

# True when every drawn coordinate (master units) lies within the range (UORs, 1000 a metre).
sub encloses ($range, $coordinates) {
    my ($xl, $yl, $xh, $yh) = map { $_ / 1000 } @$range;
    return !grep { $_->[0] < $xl - 1e-9 || $_->[0] > $xh + 1e-9 || $_->[1] < $yl - 1e-9 || $_->[1] > $yh + 1e-9 } @$coordinates;
}

subtest 'a curve\'s range encloses the curve as readers draw it' => sub {
    write_file("$dir/bend.gen", "1\n0 0\n10 0\n10 10\nEND\n2\n" . join('', map { "$_ " . ($_ % 2 ? 5 : 0) . "\n" } 0 .. 150) . "END\nEND\n");
    my $design = fresh('bend.dgn');
    my ($status, undef, $err) = run_converter("$dir/bend.gen", $design, @lines, '-c');
    is($status, 0, 'exit 0') or diag $err;
    my @f = @{ features($design) };
    my @e = grep { $_->{type} == 11 || $_->{type} == 12 } design_elements(read_bytes($design));
    is_deeply([ map { $_->{type} } @e[ 0, 1 ] ], [ 11, 12 ], 'a curve, then a chain of curves');
    ok(encloses($e[0]{range}, $f[0]{coordinates}), 'the curve overshoots its corner inside its range');
    ok(encloses($e[1]{range}, $f[1]{coordinates}), 'the chain\'s range encloses every drawn piece');
};

subtest 'nothing written may leave the design plane' => sub {
    my $design = fresh('far.dgn');
    write_file("$dir/long.gen", "1\n0 0\n1000000 0\nEND\nEND\n");
    my ($status, undef, $err) = run_converter("$dir/long.gen", $design, @lines, '-c');
    is($status, 5, 'a curve whose steering points leave the plane: exit 5');
    like($err, qr/steering point/, 'says why');
    is(-s $design, 0, 'the design file stays empty');

    write_file("$dir/edge.gen", "1 0 0\nEND\n");
    run_converter("$dir/edge.gen", $design, slots(4 => [ '-P', 'P' ]));
    my $before = read_bytes($design);
    write_file("$dir/text.gen", "1234567890 2147480 0\nEND\n");
    ($status, undef, $err) = run_converter("$dir/text.gen", $design, slots(4 => [ '-P', 'P' ], 9 => [ '-O', 'A' ]));
    is($status, 5, 'a text reaching over the plane\'s edge: exit 5');
    like($err, qr/the text '1234567890' lies outside the design plane/, 'names the text');
    ok(read_bytes($design) eq $before, 'the design file is unchanged');

    for my $case ([ "1 1e36 0\nEND\n", 'a coordinate of 1e36 in a new file' ], [ "1 0 0\n2 1e300 0\nEND\n", 'a coordinate far out' ]) {
        write_file("$dir/huge.gen", $case->[0]);
        my $empty = fresh('huge.dgn');
        ($status, undef, $err) = run_converter("$dir/huge.gen", $empty, slots(4 => [ '-P', 'P' ]));
        is($status, 5, "$case->[1]: exit 5, no internal error") or diag $err;
    }
    write_file("$dir/inf.gen", "1 inf 0\nEND\n");
    is((run_converter("$dir/inf.gen", fresh('inf.dgn'), slots(4 => [ '-P', 'P' ])))[0], 4, '"inf" is no number: exit 4');
};

subtest 'text sizes and grids the elements cannot hold are refused' => sub {
    write_file("$dir/one.gen", "7 10 10\nEND\n");
    my @text = slots(4 => [ '-P', 'P' ], 9 => [ '-O', 'A' ]);
    for my $case ([ '-txsz', '20000' ], [ '-txsz', '1e999' ], [ '-txsz', '0.000001' ], [ '-R', '1e999,0,1' ], [ '-R', '0,0,1e999' ]) {
        my $design = fresh('sizes.dgn');
        my ($status, undef, $err) = run_converter("$dir/one.gen", $design, @text, @$case);
        is($status, 2, "@$case: exit 2") or diag $err;
        is(-s $design, 0, "@$case: nothing written");
    }
    # A file of 100,000 UORs a metre holds texts up to 128.8 m high: 130 would come out mirrored.
    my $fine = fresh('fine.dgn');
    run_converter("$dir/one.gen", $fine, slots(4 => [ '-P', 'P' ]));
    my $bytes = read_bytes($fine);
    substr($bytes, 1112, 8) = pack('vvvv', 0, 100, 0, 1000);
    write_file($fine, $bytes);
    my ($status, undef, $err) = run_converter("$dir/one.gen", $fine, @text, '-txsz', '130');
    is($status, 2, '-txsz 130 in a file of 100,000 UORs a metre: exit 2');
    like($err, qr/-txsz 130: .*from 1e-05 to 128\.8/, 'says what the file holds');
    ok(read_bytes($fine) eq $bytes, 'nothing written');

    my $design = fresh('big.dgn');
    ($status, undef, $err) = run_converter("$dir/one.gen", $design, @text, '-txsz', '12884');
    is($status, 0, 'the largest text a 1000-UOR file holds is written') or diag $err;
    like(features($design)->[0]{style_string}, qr/s:1288[34]/, 'at its size');
};

subtest 'text nodes: the mslink is on the text that readers show' => sub {
    write_file("$dir/wells.gen", "11 1 2\n12 3 4\nEND\n");
    my $design = fresh('nodes.dgn');
    my ($status, undef, $err) = run_converter("$dir/wells.gen", $design, slots(4 => [ '-P', 'P' ], 8 => [ '-M', '7' ], 9 => [ '-O', 'T' ]));
    is($status, 0, 'exit 0') or diag $err;
    is_deeply([ map { [ $_->{Type}, $_->{MSLink} ] } grep { $_->{Type} == 17 } @{ features($design) } ], [ [ 17, 7 ], [ 17, 8 ] ], 'texts with mslinks 7 and 8');
};

subtest 'a new header: identity view rotations and active scale 1, as GDAL\'s 2D seed file' => sub {
    my $seed = '/usr/share/gdal/seed_2d.dgn';
    plan skip_all => "$seed is not installed" unless -r $seed;
    write_file("$dir/one.gen", "7 10 10\nEND\n");
    my $design = fresh('header.dgn');
    run_converter("$dir/one.gen", $design, slots(4 => [ '-P', 'P' ]));
    my ($ours, $theirs) = (read_bytes($design), read_bytes($seed));
    for my $view (0 .. 7) {
        my $at = 46 + 118 * $view + 34;
        is(unpack('H*', substr($ours, $at, 72)), unpack('H*', substr($theirs, $at, 72)), "view $view: rotation matrix");
    }
    is(unpack('H*', substr($ours, 1140, 24)), unpack('H*', substr($theirs, 1140, 24)), 'active scale');
};

subtest 'islands become holes of their polygon' => sub {
    write_file("$dir/lake.gen", "101 1 1\n0 0\n10 0\n10 10\n0 10\n0 0\nEND\n-99999\n2 2\n4 2\n4 4\n2 2\nEND\n101\n6 6\n8 6\n8 8\n6 6\nEND\n"
        . "7\n20 0\n30 0\n30 10\n20 0\nEND\n7\n40 0\n50 0\n50 10\n40 0\nEND\nEND\n");
    my $design = fresh('lake.dgn');
    my ($status, $out, $err) = run_converter("$dir/lake.gen", $design, slots(3 => [ '-S', 'A' ], 4 => [ '-P', 'A' ], 6 => [ '-C ', '2' ], 8 => [ '-M', '-i' ]));
    is($status, 0, 'exit 0') or diag $err;
    like($out, qr/2 holes/, 'reports the holes');
    my @shapes = grep { $_->{type} == 6 } design_elements(read_bytes($design));
    is_deeply([ map { ($_->{properties} & 0x8000) ? 1 : 0 } @shapes ], [ 0, 1, 1, 0, 0 ], 'the hole bit on the two islands only');
    my $group = $shapes[0]{group};
    ok($group && $shapes[1]{group} == $group && $shapes[2]{group} == $group, 'the polygon and its holes share a graphic group');
    is($shapes[3]{group}, 0, 'a polygon without islands has none');
    is_deeply([ map { [ $_->{Type}, $_->{MSLink} ] } @{ features($design) } ],
        [ [ 6, 101 ], [ 6, 101 ], [ 6, 101 ], [ 3, 101 ], [ 6, 7 ], [ 6, 7 ] ], 'holes share the mslink; the label point follows them');
};

subtest 'a line longer than one complex chain holds is split into chains' => sub {
    write_file("$dir/track.gen", "5\n" . join('', map { "$_ " . ($_ % 3) . "\n" } 0 .. 39_999) . "END\nEND\n");
    my $design = fresh('track.dgn');
    my ($status, undef, $err) = run_converter("$dir/track.gen", $design, @lines, slots(8 => [ '-M', '9' ]));
    is($status, 3, 'exit 3: reported as a substitution') or diag $err;
    like($err, qr/substituted: record 5 .*40000 vertices .* written as 3 complex chains/, 'says how');
    my @f = @{ features($design) };
    is_deeply([ map { [ $_->{Type}, $_->{MSLink} ] } @f ], [ ([ 12, 9 ]) x 3 ], 'three chains sharing the mslink');
    is_deeply([ $f[0]{coordinates}[0], $f[-1]{coordinates}[-1] ], [ [ 0, 0 ], [ 39_999, 39_999 % 3 ] ], 'from the first vertex to the last');
    is_deeply($f[1]{coordinates}[0], $f[0]{coordinates}[-1], 'each chain starts where the one before ended');
};

subtest 'X,Y input: text after END is refused, a byte-order mark is not' => sub {
    write_file("$dir/cut.txt", "1 2\nEND\n3 4\n");
    my $design = fresh('cut.dgn');
    my ($status, undef, $err) = run_converter("$dir/cut.txt", $design, slots(3 => [ '-S', 'X' ]));
    is($status, 4, 'exit 4 instead of dropping the rest');
    like($err, qr/line 3: text after END \(line 2\)/, 'names the line');
    is(-s $design, 0, 'nothing written');
    write_file("$dir/bom.txt", "\xEF\xBB\xBFx,y\n1,2\n");
    ($status, undef, $err) = run_converter("$dir/bom.txt", $design, slots(3 => [ '-S', 'X' ]));
    is($status, 0, 'a UTF-8 byte-order mark is read past') or diag $err;
    like($err, qr/'x,y' read as column names/, 'the heading is still recognised');
};

done_testing;
