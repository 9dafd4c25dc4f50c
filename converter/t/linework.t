# Lines, curves, polygons with label points and X,Y files, with the command lines the program
# composes, read back with ogrinfo.
use v5.36;
use FindBin qw($RealBin);
use lib "$RealBin/lib";
use ConverterTest;
use Test::More;

my $dir = scratch();

# A short line, a line of 250 vertices (more than one element holds), a line with a label.
my $lines = "1\n0 0\n10,0\n10 10\nEND\n2\n" . join('', map { "$_ " . ($_ % 7) . "\n" } 0 .. 249) . "END\n3 5 5\n20 20\n30 20\nEND\nEND\n";
write_file("$dir/roads.gen", $lines);

# "Area - lines & centroids": theme L, linework level 12, centroids on 14, curves off.
my %lines_job = (3 => [ '-S', 'A' ], 4 => [ '-P', 'L' ], 5 => [ '-L', '12' ], 6 => [ '-C ', '14' ], 7 => [ '-T', 'roads' ],
    8 => [ '-M', '100' ], 9 => [ '-O', 'P' ], 10 => [ '-sl', '2,4,6' ], 11 => [ ' ', '' ], 14 => [ '-sp', '0,1,9' ]);

subtest 'line strings, a complex chain, a centroid sharing its line\'s mslink' => sub {
    my $design = "$dir/roads.dgn";
    write_file($design, '');
    my ($status, $out, $err) = run_converter("$dir/roads.gen", $design, slots(%lines_job));
    is($status, 0, 'exit 0') or diag $err;
    my $f = features($design);
    is_deeply([ map { [ @$_{qw(Type Level Style Weight ColorIndex MSLink)} ] } @$f ],
        [ [ 4, 12, 2, 4, 6, 100 ], [ 12, 12, 2, 4, 6, 101 ], [ 4, 12, 2, 4, 6, 102 ], [ 3, 14, 0, 1, 9, 102 ] ],
        'line string, complex chain, line string, centroid');
    is_deeply($f->[0]{coordinates}, [ [ 0, 0 ], [ 10, 0 ], [ 10, 10 ] ], 'vertices of the short line');
    my @chain = @{ $f->[1]{coordinates} };
    is($f->[1]{geometry}, 'MULTILINESTRING', 'the chain reads as its pieces');
    is_deeply([ @chain[ 0, -1 ] ], [ [ 0, 0 ], [ 249, 249 % 7 ] ], 'from the first vertex to the last');
    is(scalar @chain, 250 + 2, 'three pieces sharing their end points');
    is_deeply($f->[3]{coordinates}[0], [ 5, 5 ], 'centroid at the label point');
};

subtest 'curves: type 11, through the vertices; without -C the label point is left out' => sub {
    my $design = "$dir/curves.dgn";
    write_file($design, '');
    my %job = (%lines_job, 6 => [ '', '' ], 11 => [ '-c', '' ]);
    my ($status, undef, $err) = run_converter("$dir/roads.gen", $design, slots(%job));
    is($status, 0, 'exit 0') or diag $err;
    like($err, qr/1 label point left out/, 'says the label point was left out');
    my $f = features($design);
    is_deeply([ map { $_->{Type} } @$f ], [ 11, 12, 11 ], 'curve, complex chain of curves, curve');
    my %stroked = map { join(',', @$_) => 1 } @{ $f->[0]{coordinates} };
    ok($stroked{'0,0'} && $stroked{'10,0'} && $stroked{'10,10'}, 'the stroked curve passes through every vertex');
};

subtest 'polygons with label points; an open ring is closed and reported' => sub {
    write_file("$dir/parcels.gen", "101 5 5\n0 0\n10 0\n10 10\n0 10\n0 0\nEND\n102 25 5\n20 0\n30 0\n30 10\nEND\n"
        . "103 1 1\n" . join('', map { sprintf "%.4f %.4f\n", 100 + 50 * cos($_ / 60), 50 * sin($_ / 60) } 0 .. 376) . "END\nEND\n");
    my $design = "$dir/parcels.dgn";
    write_file($design, '');
    my %job = (%lines_job, 4 => [ '-P', 'A' ], 8 => [ '-M', '-i' ]);
    my ($status, undef, $err) = run_converter("$dir/parcels.gen", $design, slots(%job));
    is($status, 3, 'exit 3: a substitution');
    like($err, qr/record 102 .*not closed/, 'names the open polygon');
    my $f = features($design);
    is_deeply([ map { [ @$_{qw(Type Level MSLink)} ] } @$f ],
        [ [ 6, 12, 101 ], [ 3, 14, 101 ], [ 6, 12, 102 ], [ 3, 14, 102 ], [ 14, 12, 103 ], [ 3, 14, 103 ] ],
        'shape, centroid, shape, centroid, complex shape, centroid');
    is($f->[2]{geometry}, 'POLYGON', 'shapes read as polygons');
    is_deeply($f->[2]{coordinates}[-1], [ 20, 0 ], 'the open ring ends at its first vertex');
    is($f->[4]{geometry}, 'POLYGON', 'the complex shape reads as one polygon');
};

subtest 'X,Y: points, and one line a run of equal ids' => sub {
    write_file("$dir/survey.txt", "x,y\n1.5,2.5\n3 4\n\n5.25 , 6\n");
    my $design = "$dir/survey.dgn";
    write_file($design, '');
    my ($status, undef, $err) = run_converter("$dir/survey.txt", $design, slots(3 => [ '-S', 'X' ], 6 => [ '-C ', '2' ]));
    is($status, 0, 'exit 0') or diag $err;
    like($err, qr/column names and skipped/, 'the heading line is reported');
    like($err, qr/no -P given: the input reads as points/, 'the inferred theme is reported');
    is_deeply([ map { $_->{coordinates}[0] } @{ features($design) } ], [ [ 1.5, 2.5 ], [ 3, 4 ], [ 5.25, 6 ] ], 'three points');

    write_file("$dir/tracks.txt", "1 0 0\n1 5 5\n2 9 9\n2 9 0\n2 0 0\n");
    ($status, undef, $err) = run_converter("$dir/tracks.txt", $design, slots(3 => [ '-S', 'X' ], 4 => [ '-P', 'L' ], 5 => [ '-L', '3' ]));
    is($status, 0, 'exit 0') or diag $err;
    my @lines = grep { $_->{Type} == 4 } @{ features($design) };
    is_deeply([ map { scalar @{ $_->{coordinates} } } @lines ], [ 2, 3 ], 'ids 1 and 2 make two lines');
};

done_testing;
